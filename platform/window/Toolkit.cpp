#include "platform/window/Toolkit.h"

#include <cstdio>
#include <gtk/gtk.h>

namespace platform {

bool InitToolkit(int& argc, char**& argv, const std::string& windowClass) {
    // The class every window of the program carries, set before the first window exists.
    gdk_set_program_class(windowClass.c_str());
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "orvane : impossible d'ouvrir l'écran (DISPLAY=%s).\n",
                     g_getenv("DISPLAY") != nullptr ? g_getenv("DISPLAY") : "");
        return false;
    }
    g_set_prgname("orvane");
    g_set_application_name("Orvane");
    gtk_window_set_default_icon_name("orvane");
    return true;
}

void RunMainLoop() {
    gtk_main();
}

void QuitMainLoop() {
    if (gtk_main_level() > 0) {
        gtk_main_quit();
    }
}

void ShowInformation(GtkWindow* owner, const std::string& title, const std::string& text) {
    GtkWidget* box = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO,
                                            GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title.c_str());
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

} // namespace platform
