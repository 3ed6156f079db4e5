#pragma once
// GTK on the test's X server, and waits on conditions by iterating the main loop.
#include <functional>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace testsupport {

// Guards each wait against a hang; it measures no speed.
inline constexpr guint kGtkWaitMs = 60000;

// GTK's X11 side on $DISPLAY, once; false without a display.
inline bool InitGtk() {
    static const bool ready = [] {
        gdk_set_allowed_backends("x11");
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return ready;
}

// Whether a window manager runs: one that keeps the EWMH window states.
inline bool WindowManagerRuns() {
    return gdk_x11_screen_supports_net_wm_hint(
               gdk_screen_get_default(),
               gdk_atom_intern_static_string("_NET_WM_STATE_MAXIMIZED_VERT")) != FALSE;
}

// Iterates the main loop until done() holds, at most kGtkWaitMs; whether it held (the answer
// that ended the wait, not a later one: a window manager may move the window again meanwhile). A
// tick wakes the loop for conditions that only a question to the server shows.
inline bool WaitUntil(const std::function<bool()>& done) {
    bool expired = false;
    const guint guard = g_timeout_add(
        kGtkWaitMs, [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; },
        &expired);
    const guint tick = g_timeout_add(
        10, [](gpointer) { return gboolean(G_SOURCE_CONTINUE); }, nullptr);
    bool met = false;
    while (!(met = done()) && !expired) {
        g_main_context_iteration(nullptr, TRUE);
    }
    if (!expired) {
        g_source_remove(guard);
    }
    g_source_remove(tick);
    return met;
}

// Whether the X server has mapped the window (GTK's own mapped flag comes earlier).
inline bool ServerMapped(GtkWindow* window) {
    GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window));
    return gdk != nullptr && (gdk_window_get_state(gdk) & GDK_WINDOW_STATE_WITHDRAWN) == 0;
}

// A top-level window, destroyed with its holder.
struct TopLevel {
    GtkWindow* window = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    TopLevel() = default;
    TopLevel(const TopLevel&) = delete;
    TopLevel& operator=(const TopLevel&) = delete;
    ~TopLevel() { gtk_widget_destroy(GTK_WIDGET(window)); }
};

} // namespace testsupport
