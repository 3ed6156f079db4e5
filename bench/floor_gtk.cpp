// The GTK floor of the start-up and memory benchmarks: the least a GTK 3 WebKitGTK browser
// window can be. One maximized window holding one web view, the address given as the argument,
// nothing else. With --software the view never composes through OpenGL, as Orvane's view on a
// display whose OpenGL can only be a software renderer. With --no-dmabuf the program sets
// WEBKIT_DISABLE_DMABUF_RENDERER=1 in its own environment before GTK and the engine start, as a
// program does that decides it at run time; the engine's other environment switches are left to
// the caller.
// Usage: bench_floor_gtk [--software] [--no-dmabuf] URL
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstring>

int main(int argc, char* argv[]) {
    bool software = false;
    const char* address = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--software") == 0) {
            software = true;
        } else if (std::strcmp(argv[i], "--no-dmabuf") == 0) {
            g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", TRUE);
        } else {
            address = argv[i];
        }
    }
    gtk_init(&argc, &argv);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* view = webkit_web_view_new();
    if (software) {
        webkit_settings_set_hardware_acceleration_policy(
            webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)),
            WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    }
    gtk_container_add(GTK_CONTAINER(window), view);
    if (address != nullptr) {
        webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), address);
    }
    // Orvane's first start opens maximized: the floor shows the same page area, since a larger
    // window costs the engine more to lay out, paint and composite.
    gtk_window_maximize(GTK_WINDOW(window));
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
