#pragma once
// GTK on the test's X server: waits on conditions by iterating the main loop, and input handed
// to GTK as the window system hands it, dispatched exactly as the events read from the server.
#include <gtest/gtest.h> // before the X11 headers, whose macros clash with its names

#include <functional>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <string>

namespace testsupport {

// GTK's X11 side on $DISPLAY, once; false without a display.
inline bool InitGtk() {
    static const bool ready = [] {
        gdk_set_allowed_backends("x11");
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return ready;
}

// Iterates the main loop until done() holds, at most a minute (a guard against a hang, not a
// measure of speed); whether it held when the wait ended. A tick wakes the loop for conditions
// that only a question to the server shows, and for the guard.
inline bool WaitUntil(const std::function<bool()>& done) {
    const gint64 end = g_get_monotonic_time() + 60 * G_USEC_PER_SEC;
    const guint tick = g_timeout_add(
        10, [](gpointer) { return gboolean(G_SOURCE_CONTINUE); }, nullptr);
    bool met = false;
    while (!(met = done()) && g_get_monotonic_time() < end)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(tick);
    return met;
}

// Whether the X server has mapped the window: asked of the server, since GTK and GDK count a
// window as mapped once they have asked for it, before a window manager has even framed it.
inline bool ServerMapped(GtkWindow* window) {
    GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window));
    XWindowAttributes attributes{};
    return gdk != nullptr &&
           XGetWindowAttributes(GDK_WINDOW_XDISPLAY(gdk), GDK_WINDOW_XID(gdk), &attributes) &&
           attributes.map_state == IsViewable;
}

// A top-level window, destroyed with its holder.
struct TopLevel {
    GtkWindow* window = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    TopLevel() = default;
    TopLevel(const TopLevel&) = delete;
    TopLevel& operator=(const TopLevel&) = delete;
    ~TopLevel() { gtk_widget_destroy(GTK_WIDGET(window)); }
};

// An event on a widget's own GDK window from the keyboard or the pointer, filled in by fill.
inline void Dispatch(GdkEventType type, GdkWindow* window,
                     const std::function<void(GdkEvent&)>& fill = {}, bool keyboard = true) {
    GdkEvent* event = gdk_event_new(type);
    event->any.window = GDK_WINDOW(g_object_ref(window));
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
    gdk_event_set_device(event,
                         keyboard ? gdk_seat_get_keyboard(seat) : gdk_seat_get_pointer(seat));
    if (fill)
        fill(*event);
    gtk_main_do_event(event);
    gdk_event_free(event);
}

// A key, written as GTK writes accelerators ("<Ctrl>p", "<Alt>Right", "F11", "e"), pressed and
// released in the window with the key code and Shift level that the keyboard map gives it; the
// window may be gone once the press is handled.
inline void Press(GtkWindow* window, const std::string& accelerator) {
    guint keyval = 0;
    GdkModifierType modifiers{};
    gtk_accelerator_parse(accelerator.c_str(), &keyval, &modifiers);
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(
        gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys, &count))
        << accelerator;
    GdkKeymapKey key = keys[0];
    for (gint i = 0; i < count; ++i)
        key = keys[i].group == 0 && keys[i].level < key.level ? keys[i] : key;
    g_free(keys);
    g_object_ref(window);
    for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE})
        if (GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(window)))
            Dispatch(type, native, [&](GdkEvent& event) {
                event.key.keyval = keyval;
                event.key.state = modifiers | (key.level == 1 ? GDK_SHIFT_MASK : 0);
                event.key.hardware_keycode = guint16(key.keycode);
                event.key.group = guint8(key.group);
                event.key.string = g_strdup("");
            });
    g_object_unref(window);
}

} // namespace testsupport
