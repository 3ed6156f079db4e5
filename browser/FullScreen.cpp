#include "browser/FullScreen.h"

#include "browser/FreeLayout.h"
#include "platform/web/WebView.h"

namespace browser {

namespace {

constexpr gint64 kSettleUs = 1000 * 1000;

GdkWindowState StateOf(GtkWindow* window) {
    GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(window));
    return native != nullptr ? gdk_window_get_state(native) : GdkWindowState(0);
}

GdkRectangle FrameOf(GtkWindow* window) {
    GdkRectangle frame{};
    if (GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(window))) {
        gdk_window_get_frame_extents(native, &frame);
    }
    return frame;
}

bool operator==(const GdkRectangle& a, const GdkRectangle& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

} // namespace

FullScreen::FullScreen(GtkWindow* window, GtkWidget* layout, platform::WebView& view,
                       std::vector<GtkWidget*> hidden, std::function<void()> layOut)
    : Window(window), Layout(layout), View(view), Hidden(std::move(hidden)),
      LayOut(std::move(layOut)) {}

void FullScreen::Enter(Reason reason) {
    const bool wasActive = IsActive();
    Reasons |= reason;
    if (wasActive) {
        return;
    }
    MaximizedBefore = (StateOf(Window) & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    gtk_window_get_size(Window, &WidthBefore, &HeightBefore);
    FrameBefore = FrameOf(Window);
    for (GtkWidget* control : Hidden) {
        gtk_widget_hide(control);
    }
    if (gtk_window_get_focus(Window) == nullptr) {
        // The keyboard was on a control now hidden.
        gtk_widget_grab_focus(View.Widget());
    }
    FreeLayoutSetCover(Layout, View.Widget());
    gtk_window_fullscreen(Window);
}

void FullScreen::PageLeft() {
    if ((Reasons & ByPage) == 0) {
        return;
    }
    Reasons &= ~ByPage;
    if (Reasons == 0) {
        Restore(false);
    }
}

void FullScreen::Leave(bool settle) {
    if (!IsActive()) {
        return;
    }
    const bool pageAsked = (Reasons & ByPage) != 0;
    Reasons = 0;
    if (pageAsked) {
        View.ExitFullScreen();
    }
    Restore(settle);
}

void FullScreen::Restore(bool settle) {
    // The window manager gives back the bounds and the maximized state from before.
    gtk_window_unfullscreen(Window);
    FreeLayoutSetCover(Layout, nullptr);
    for (GtkWidget* control : Hidden) {
        gtk_widget_show(control);
    }
    LayOut();
    if (!settle || !gtk_widget_get_mapped(GTK_WIDGET(Window))) {
        return;
    }
    // A window manager gives the frame back only once it has handled the change; the loop
    // wakes now and then to read the window again.
    const guint tick = g_timeout_add(
        20, [](gpointer) { return gboolean(G_SOURCE_CONTINUE); }, nullptr);
    const gint64 end = g_get_monotonic_time() + kSettleUs;
    while (!Settled() && g_get_monotonic_time() < end) {
        g_main_context_iteration(nullptr, TRUE);
    }
    g_source_remove(tick);
}

bool FullScreen::Settled() const {
    const GdkWindowState state = StateOf(Window);
    if ((state & GDK_WINDOW_STATE_FULLSCREEN) != 0) {
        return false;
    }
    if (MaximizedBefore) {
        return (state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    }
    int width = 0, height = 0;
    gtk_window_get_size(Window, &width, &height);
    return width == WidthBefore && height == HeightBefore && FrameOf(Window) == FrameBefore;
}

} // namespace browser
