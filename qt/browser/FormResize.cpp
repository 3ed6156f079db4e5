// The layout rule applied to the window's controls, and the window's outer bounds in twips.
#include "browser/ButtonTable.h"
#include "browser/Layout.h"
#include "platform/DesignFrame.h"
#include "platform/PlacementWindow.h"
#include "qt/browser/BrowserFrm.h"
#include "qt/browser/BrowserFrmImpl.h"
#include "qt/platform/Twips.h"
#include "qt/platform/WindowFrame.h"

#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QWindow>

namespace {

// The design frame: the layout's outer size is the client size plus this frame, whatever
// frame the window manager draws (its constants are made for this one: the web view then meets
// the status bar and ends 20 twips short of the client area's right edge).
constexpr float kDesignFrameWidth = static_cast<float>(platform::kDesignFrameWidth);
constexpr float kDesignFrameHeight = static_cast<float>(platform::kDesignFrameHeight);

float ClientWidthTwips(const QWidget& window) {
    return static_cast<float>(platform::PixelsToTwipsX(window.width()));
}

float ClientHeightTwips(const QWidget& window) {
    return static_cast<float>(platform::PixelsToTwipsY(window.height()));
}

// The widest outer width, as the layout counts it, at which the whole window lies on its screen.
float ScreenFormWidth(const QWidget& window) {
    const QSize room = platform::LargestClientSize(window);
    return room.isEmpty()
               ? 0.0f
               : static_cast<float>(platform::PixelsToTwipsX(room.width())) + kDesignFrameWidth;
}

} // namespace

float BrowserFrm::FormWidth() const {
    return ClientWidthTwips(*this) + kDesignFrameWidth;
}

float BrowserFrm::FormHeight() const {
    return ClientHeightTwips(*this) + kDesignFrameHeight;
}

void BrowserFrm::SetFormWidth(float width) {
    const QSize size(platform::TwipsToPixelsX(width - kDesignFrameWidth), height());
    // A shown window takes the new width when the window system reports it, and is laid out
    // then: a window manager that refuses leaves the width that was laid out.
    if (QWindow* native = windowHandle(); native != nullptr && isVisible()) {
        native->resize(size);
    } else {
        resize(size);
    }
}

int BrowserFrm::FormWindowState() const {
    if (isMinimized()) {
        return platform::vbMinimized;
    }
    if (isMaximized() || isFullScreen()) {
        return platform::vbMaximized;
    }
    return platform::vbNormal;
}

void BrowserFrm::Form_Resize() {
    browser::LayoutInput input{FormWidth(), FormHeight(), FormWindowState()};
    input.ScreenWidth = ScreenFormWidth(*this);
    input.OuterWidth = d->Widening.Widen(input, [this](float width) {
        SetFormWidth(width);
        return FormWidth();
    });
    if (input.WindowState == platform::vbMinimized) {
        return;
    }
    // Buttons 1 to 11 stand as designed, narrowed only where the window is narrower than the row.
    browser::TwipsGeometry& geometry = d->Geometry;
    const float scale = browser::ToolbarScale(input.OuterWidth);
    for (const browser::ButtonDesign& design : browser::kButtons) {
        if (design.Index != browser::kCloseButton) {
            geometry.Place(Bouton.at(design.Index),
                           {design.Left * scale, design.Top, design.Width * scale, design.Height});
        }
    }
    const browser::TwipsRect about = Twips(Bouton.at(browser::kAboutButton));
    input.AboutButtonLeft = about.Left;
    input.AboutButtonWidth = about.Width;
    const browser::LayoutResult layout = browser::FormResizeLayout(input);
    geometry.SetWidth(WB, layout.WebViewWidth);
    geometry.SetHeight(WB, layout.WebViewHeight);
    geometry.SetLeft(Bouton.at(browser::kCloseButton), layout.CloseButtonLeft);
    geometry.SetWidth(Bouton.at(browser::kCloseButton), layout.CloseButtonWidth);
    geometry.SetLeft(PBar, layout.ProgressLeft);
    geometry.SetWidth(PBar, layout.ProgressWidth);

    // The status bar is docked: bottom edge of the client area, full width.
    const float clientHeight = ClientHeightTwips(*this);
    geometry.Place(StatusBar, {0, clientHeight - browser::kStatusBarHeight, ClientWidthTwips(*this),
                               browser::kStatusBarHeight});
}
