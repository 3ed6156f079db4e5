#include "browser/PageTools.h"

#include "browser/BrowserFrm.h"
#include "browser/FindBar.h"
#include "browser/FreeLayout.h"
#include "browser/FullScreen.h"
#include "browser/Zoom.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace browser {

namespace {

// The modifiers the key table knows of.
constexpr guint kTableModifiers = GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SHIFT_MASK;

// A keypad key as its main twin.
guint MainKey(guint key) {
    switch (key) {
    case GDK_KEY_KP_Add:
        return GDK_KEY_plus;
    case GDK_KEY_KP_Subtract:
        return GDK_KEY_minus;
    case GDK_KEY_KP_Equal:
        return GDK_KEY_equal;
    case GDK_KEY_KP_0:
        return GDK_KEY_0;
    default:
        return gdk_keyval_to_lower(key);
    }
}

// The modifiers held beyond those the key used to give its keyval (Shift for "+" on most
// keyboards), as the key table names them.
GdkModifierType ExtraModifiers(const GdkEventKey& event) {
    GdkKeymap* keymap = gdk_keymap_get_for_display(
        event.window != nullptr ? gdk_window_get_display(event.window) : gdk_display_get_default());
    GdkModifierType consumed = GdkModifierType(0);
    guint keyval = 0;
    if (!gdk_keymap_translate_keyboard_state(keymap, event.hardware_keycode,
                                             GdkModifierType(event.state), event.group, &keyval,
                                             nullptr, nullptr, &consumed)) {
        consumed = GdkModifierType(0);
    }
    guint state = event.state;
    if ((state & GDK_META_MASK) != 0) {
        state |= GDK_MOD1_MASK; // Alt, where the keyboard map names it Meta too
    }
    return GdkModifierType(state & ~guint(consumed) & kTableModifiers);
}

std::vector<GtkWidget*> Hidden(BrowserFrm& window) {
    std::vector<GtkWidget*> controls(window.Bouton.begin(), window.Bouton.end());
    controls.push_back(window.StatusBar);
    return controls;
}

} // namespace

PageTools::PageTools(BrowserFrm& window, GtkWidget* layout) : Window(window), Layout(layout) {
    Full = std::make_unique<FullScreen>(window.Window(), layout, *window.WB, Hidden(window),
                                        [&window] { window.Form_Resize(); });
    // The progress bar's visibility follows the page; full screen only puts it out of sight.
    FreeLayoutSetChrome(window.PBar);
}

PageTools::~PageTools() {
    if (ZoomTextTimer != 0) {
        g_source_remove(ZoomTextTimer);
    }
}

bool PageTools::KeyPressed(const GdkEventKey& event) {
    const KeyBinding* binding = FindKeyBinding(MainKey(event.keyval), ExtraModifiers(event));
    if (binding == nullptr || (binding->Command == KeyCommand::Escape && !EscapeWanted())) {
        return false;
    }
    Run(binding->Command, binding->Button);
    return true;
}

void PageTools::Run(KeyCommand command, int button) {
    switch (command) {
    case KeyCommand::Button:
        Window.Bouton_Click(button);
        break;
    case KeyCommand::Escape:
        Escape();
        break;
    case KeyCommand::FindInPage:
        OpenFindBar();
        break;
    case KeyCommand::ZoomIn:
        SetZoom(NextZoomStep(Zoom));
        break;
    case KeyCommand::ZoomOut:
        SetZoom(PreviousZoomStep(Zoom));
        break;
    case KeyCommand::ZoomReset:
        SetZoom(kZoomDefault);
        break;
    case KeyCommand::FullScreen:
        ToggleFullScreen();
        break;
    }
}

bool PageTools::EscapeWanted() const {
    return FindBarShown() || Full->IsActive() || Loading;
}

void PageTools::Escape() {
    if (FindBarShown()) {
        FindBarMade->Close();
    } else if (Full->IsActive()) {
        LeaveFullScreen();
    } else if (Loading) {
        Window.Bouton_Click(kStopButton); // the stop button's own command
    }
}

FindBar& PageTools::Find() {
    if (!FindBarMade) {
        FindBarMade = std::make_unique<FindBar>(*Window.WB);
        FreeLayoutPlace(Layout, FindBarMade->Widget(), 0, 0, 0, 0);
        // Tab goes from the bar's controls to the page, Shift+Tab from the page to the bar.
        FreeLayoutFocusFirst(Layout, FindBarMade->Widget());
    }
    return *FindBarMade;
}

bool PageTools::FindBarShown() const {
    return FindBarMade && FindBarMade->Shown();
}

void PageTools::OpenFindBar() {
    Find().Open();
    PlaceFindBar();
}

void PageTools::PlaceFindBar() {
    if (!FindBarMade) {
        return;
    }
    GdkRectangle area = FreeLayoutRect(Layout, Window.WB->Widget());
    if (Full->IsActive()) {
        area = {0, 0, gtk_widget_get_allocated_width(Layout),
                gtk_widget_get_allocated_height(Layout)};
    }
    const GdkRectangle bar = FindBarMade->PlaceOver(area);
    FreeLayoutPlace(Layout, FindBarMade->Widget(), bar.x, bar.y, bar.width, bar.height);
}

void PageTools::SetZoom(int percent) {
    Zoom = std::clamp(percent, kZoomSteps.front(), kZoomSteps.back());
    ApplyZoom();
    ZoomShown = ZoomText(Zoom);
    Window.SetStatusText(ZoomShown);
    if (ZoomTextTimer != 0) {
        g_source_remove(ZoomTextTimer);
    }
    ZoomTextTimer = g_timeout_add(kZoomTextMs, ZoomTextTimeout, this);
}

gboolean PageTools::ZoomTextTimeout(gpointer self) {
    auto* tools = static_cast<PageTools*>(self);
    tools->ZoomTextTimer = 0;
    // Only the zoom text goes: a text the page gave since stays.
    if (tools->Window.StatusText() == tools->ZoomShown) {
        tools->Window.SetStatusText({});
    }
    return G_SOURCE_REMOVE;
}

bool PageTools::ZoomTextPending() const {
    return ZoomTextTimer != 0 && Window.StatusText() == ZoomShown;
}

void PageTools::ApplyZoom() {
    const double factor = Zoom / 100.0;
    if (std::abs(Window.WB->ZoomFactor() - factor) > 1e-9) {
        Window.WB->SetZoomFactor(factor);
    }
}

bool PageTools::IsFullScreen() const {
    return Full->IsActive();
}

void PageTools::ToggleFullScreen() {
    if (Full->IsActive()) {
        LeaveFullScreen();
        return;
    }
    Full->Enter(FullScreen::ByUser);
    if (FindBarMade) {
        FindBarMade->Raise();
    }
}

void PageTools::LeaveFullScreen() {
    Full->Leave();
}

void PageTools::LeaveFullScreenToClose() {
    Full->Leave(true);
}

void PageTools::PageLoading(bool loading) {
    Loading = loading;
}

void PageTools::PageNavigated() {
    ApplyZoom();
}

void PageTools::PageFullScreen(bool on) {
    if (!on) {
        Full->PageLeft();
        return;
    }
    Full->Enter(FullScreen::ByPage);
    if (FindBarMade) {
        FindBarMade->Raise();
    }
}

bool PageTools::CoverWindow() {
    if (!Full->IsActive()) {
        return false;
    }
    PlaceFindBar();
    return true;
}

} // namespace browser
