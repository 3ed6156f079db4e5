// Saves a picture of one X window, with what its child windows show, as a PNG file:
// orvane_screenshot WINDOW OUT.png   (WINDOW: an X window id, decimal or 0x hexadecimal)
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    gdk_set_allowed_backends("x11");
    if (argc != 3 || !gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "usage: orvane_screenshot WINDOW OUT.png (with DISPLAY set)\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "orvane_screenshot: not a window id: %s\n", argv[1]);
        return 2;
    }
    GdkWindow* window = gdk_x11_window_foreign_new_for_display(gdk_display_get_default(), id);
    GdkPixbuf* picture =
        window == nullptr ? nullptr
                          : gdk_pixbuf_get_from_window(window, 0, 0, gdk_window_get_width(window),
                                                       gdk_window_get_height(window));
    GError* error = nullptr;
    const bool saved =
        picture != nullptr && gdk_pixbuf_save(picture, argv[2], "png", &error, nullptr);
    if (!saved) {
        std::fprintf(stderr, "orvane_screenshot: could not grab 0x%lx into %s%s%s\n", id, argv[2],
                     error != nullptr ? ": " : "", error != nullptr ? error->message : "");
    }
    g_clear_error(&error);
    if (picture != nullptr) {
        g_object_unref(picture);
    }
    if (window != nullptr) {
        g_object_unref(window);
    }
    return saved ? 0 : 1;
}
