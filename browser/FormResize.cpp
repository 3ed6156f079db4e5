// The layout rule applied to the window's controls, and the window's outer size in twips.
#include "browser/BrowserFrm.h"
#include "browser/BrowserFrmImpl.h"
#include "browser/WindowTwips.h"
#include "platform/DesignFrame.h"
#include "platform/PlacementWindow.h"

namespace {

// The design frame: the layout's outer size is the client size plus this frame, whatever
// frame the window manager draws.
constexpr float kDesignFrameWidth = static_cast<float>(platform::kDesignFrameWidth);
constexpr float kDesignFrameHeight = static_cast<float>(platform::kDesignFrameHeight);

} // namespace

float BrowserFrm::ClientWidthTwips() const {
    return static_cast<float>(gtk_widget_get_allocated_width(d->Layout) * browser::TwipsPerPixel());
}

float BrowserFrm::ClientHeightTwips() const {
    return static_cast<float>(gtk_widget_get_allocated_height(d->Layout) *
                              browser::TwipsPerPixel());
}

float BrowserFrm::FormWidth() const {
    return ClientWidthTwips() + kDesignFrameWidth;
}

float BrowserFrm::FormHeight() const {
    return ClientHeightTwips() + kDesignFrameHeight;
}

void BrowserFrm::SetFormWidth(float width) {
    const double tpp = browser::TwipsPerPixel();
    const int client = browser::TwipsToPixels(width - kDesignFrameWidth, tpp);
    // The window takes the new width once the window system grants it, and is laid out then: a
    // window manager that refuses leaves the width that was laid out.
    gtk_window_resize(GTK_WINDOW(d->Window), client > 0 ? client : 1,
                      gtk_widget_get_allocated_height(d->Layout) > 0
                          ? gtk_widget_get_allocated_height(d->Layout)
                          : 1);
}

int BrowserFrm::FormWindowState() const {
    GdkWindow* native = gtk_widget_get_window(d->Window);
    const GdkWindowState state =
        native != nullptr ? gdk_window_get_state(native) : GdkWindowState(0);
    if ((state & GDK_WINDOW_STATE_ICONIFIED) != 0) {
        return platform::vbMinimized;
    }
    if ((state & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN)) != 0) {
        return platform::vbMaximized;
    }
    return platform::vbNormal;
}

void BrowserFrm::Form_Resize() {
    if (gtk_widget_get_allocated_width(d->Layout) <= 1) {
        return; // not laid out by the toolkit yet
    }
    // Full screen shows the web view alone; the rule lays the window out again when it ends.
    if (d->Tools && d->Tools->CoverWindow()) {
        return;
    }
    browser::LayoutInput input{FormWidth(), FormHeight(), FormWindowState()};
    input.ScreenWidth = browser::ScreenFormWidth(GTK_WINDOW(d->Window));
    input.OuterWidth = d->Widening.Widen(input, [this](float width) {
        SetFormWidth(width);
        return FormWidth();
    });
    if (input.WindowState == platform::vbMinimized) {
        return;
    }
    // Buttons 1 to 11 stand as designed, narrowed only where the window is narrower than the row.
    const float scale = browser::ToolbarScale(input.OuterWidth);
    for (const browser::ButtonDesign& design : browser::kButtons) {
        if (design.Index != browser::kCloseButton) {
            Place(Bouton.at(design.Index),
                  {design.Left * scale, design.Top, design.Width * scale, design.Height});
        }
    }
    const browser::TwipsRect about = Twips(Bouton.at(browser::kAboutButton));
    input.AboutButtonLeft = about.Left;
    input.AboutButtonWidth = about.Width;
    const browser::LayoutResult layout = browser::FormResizeLayout(input);
    browser::TwipsRect view = Twips(WB->Widget());
    view.Width = layout.WebViewWidth;
    view.Height = layout.WebViewHeight;
    Place(WB->Widget(), view);
    browser::TwipsRect close = Twips(Bouton.at(browser::kCloseButton));
    close.Left = layout.CloseButtonLeft;
    close.Width = layout.CloseButtonWidth;
    Place(Bouton.at(browser::kCloseButton), close);
    browser::TwipsRect bar = Twips(PBar);
    bar.Left = layout.ProgressLeft;
    bar.Width = layout.ProgressWidth;
    Place(PBar, bar);
    if (d->Tools) {
        d->Tools->PlaceFindBar();
    }
}
