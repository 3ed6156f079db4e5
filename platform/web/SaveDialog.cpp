#include "platform/web/SaveDialog.h"

#include "platform/web/GObjectPtr.h"

#include <gtk/gtk.h>

namespace platform {

std::string ChooseSavePath(GtkWidget* parent, const std::string& caption,
                           const std::string& suggested) {
    GtkWidget* top = parent != nullptr ? gtk_widget_get_toplevel(parent) : nullptr;
    GtkWindow* owner = top != nullptr && gtk_widget_is_toplevel(top) ? GTK_WINDOW(top) : nullptr;
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        caption.c_str(), owner, GTK_FILE_CHOOSER_ACTION_SAVE, g_dgettext("gtk30", "_Cancel"),
        GTK_RESPONSE_CANCEL, g_dgettext("gtk30", "_Save"), GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
    gchar* folder = g_path_get_dirname(suggested.c_str());
    gchar* name = g_path_get_basename(suggested.c_str());
    gtk_file_chooser_set_current_folder(chooser, folder);
    gtk_file_chooser_set_current_name(chooser, name);
    g_free(folder);
    g_free(name);
    std::string chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        chosen = TakeString(gtk_file_chooser_get_filename(chooser));
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

} // namespace platform
