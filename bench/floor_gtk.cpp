// The GTK floor of the start-up and memory benchmarks: the least a GTK 3 WebKitGTK browser
// window can be. One maximized window holding one web view, the address given as the argument,
// nothing else. With --software the view never composes through OpenGL, as Orvane's view on a
// display whose OpenGL can only be a software renderer. With --no-dmabuf the program sets
// WEBKIT_DISABLE_DMABUF_RENDERER=1 in its own environment before GTK and the engine start, as a
// program does that decides it at run time; the engine's other environment switches are left to
// the caller. With --persistent the view's web context keeps its data as Orvane's does: data and
// cache in folders of their own under the user's XDG folders, cookies in an SQLite file, the
// web browser cache model and French as the preferred language; without it the view uses the
// engine's default context.
// Usage: bench_floor_gtk [--software] [--no-dmabuf] [--persistent] URL
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstring>
#include <string>

namespace {

WebKitWebContext* PersistentContext() {
    const std::string data = std::string(g_get_user_data_dir()) + "/bench-floor";
    const std::string cache = std::string(g_get_user_cache_dir()) + "/bench-floor";
    g_mkdir_with_parents(data.c_str(), 0700);
    g_mkdir_with_parents(cache.c_str(), 0700);
    auto* manager = WEBKIT_WEBSITE_DATA_MANAGER(
        g_object_new(WEBKIT_TYPE_WEBSITE_DATA_MANAGER, "base-data-directory", data.c_str(),
                     "base-cache-directory", cache.c_str(), nullptr));
    WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(manager);
    g_object_unref(manager);
    webkit_cookie_manager_set_persistent_storage(webkit_web_context_get_cookie_manager(context),
                                                 (data + "/cookies.sqlite").c_str(),
                                                 WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    static const gchar* const languages[] = {"fr-FR", "fr", nullptr};
    webkit_web_context_set_preferred_languages(context, languages);
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    return context;
}

} // namespace

int main(int argc, char* argv[]) {
    bool software = false;
    bool persistent = false;
    const char* address = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--software") == 0) {
            software = true;
        } else if (std::strcmp(argv[i], "--persistent") == 0) {
            persistent = true;
        } else if (std::strcmp(argv[i], "--no-dmabuf") == 0) {
            g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", TRUE);
        } else {
            address = argv[i];
        }
    }
    gtk_init(&argc, &argv);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* view =
        persistent ? webkit_web_view_new_with_context(PersistentContext()) : webkit_web_view_new();
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
