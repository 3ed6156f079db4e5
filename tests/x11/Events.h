#pragma once
// Input as the window system hands it to GTK: events on a widget's own GDK window, dispatched by
// GTK exactly as those read from the server.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

namespace testsupport {

inline void Dispatch(GdkEventType type, GdkWindow* window, void (*fill)(GdkEvent*, void*) = nullptr,
                     void* data = nullptr, bool keyboard = true) {
    GdkEvent* event = gdk_event_new(type);
    event->any.window = GDK_WINDOW(g_object_ref(window));
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
    gdk_event_set_device(event,
                         keyboard ? gdk_seat_get_keyboard(seat) : gdk_seat_get_pointer(seat));
    if (fill)
        fill(event, data);
    gtk_main_do_event(event);
    gdk_event_free(event);
}

// A key pressed and released in the window, with the key code and Shift level that the keyboard
// map gives it; the window may be gone once the press is handled.
inline void Press(GtkWindow* window, guint keyval, guint modifiers = 0) {
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(
        gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys, &count))
        << gdk_keyval_name(keyval);
    struct Key {
        GdkKeymapKey key;
        guint keyval, modifiers;
    } key{keys[0], keyval, modifiers};
    for (gint i = 0; i < count; ++i)
        key.key = keys[i].group == 0 && keys[i].level < key.key.level ? keys[i] : key.key;
    g_free(keys);
    g_object_ref(window);
    for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        if (GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(window)))
            Dispatch(
                type, native,
                [](GdkEvent* event, void* data) {
                    const Key& k = *static_cast<Key*>(data);
                    event->key.time = GDK_CURRENT_TIME;
                    event->key.keyval = k.keyval;
                    event->key.state = k.modifiers | (k.key.level == 1 ? GDK_SHIFT_MASK : 0);
                    event->key.hardware_keycode = guint16(k.key.keycode);
                    event->key.group = guint8(k.key.group);
                    event->key.string = g_strdup("");
                },
                &key);
    }
    g_object_unref(window);
}

} // namespace testsupport
