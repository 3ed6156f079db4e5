#include "platform/web/CredentialsDialog.h"

#include "platform/StatusText.h"

#include <gtk/gtk.h>

namespace platform {

std::string CredentialsQuestionText(const CredentialsQuestion& question) {
    const std::string host = CaptionText(question.Host, 255);
    std::string text =
        question.Proxy
            ? "Le serveur mandataire " + host + " demande un nom d'utilisateur et un mot de passe."
            : "Le site " + host + " demande un nom d'utilisateur et un mot de passe.";
    if (!question.Realm.empty()) {
        text += "\nLe site indique : « " + CaptionText(question.Realm, 255) + " »";
    }
    return text;
}

std::optional<Credentials> AskCredentials(GtkWidget* parent, const CredentialsQuestion& question) {
    GtkWidget* top = parent != nullptr ? gtk_widget_get_toplevel(parent) : nullptr;
    GtkWindow* owner = top != nullptr && gtk_widget_is_toplevel(top) ? GTK_WINDOW(top) : nullptr;
    // The buttons' texts come from GTK's own French catalogue.
    const char* cancel = g_dgettext("gtk30", "_Cancel");
    const char* ok = g_dgettext("gtk30", "_OK");
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Identification requise", owner,
        GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), cancel,
        GTK_RESPONSE_CANCEL, ok, GTK_RESPONSE_OK, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(area), 12);
    gtk_box_set_spacing(GTK_BOX(area), 8);

    GtkWidget* text = gtk_label_new(CredentialsQuestionText(question).c_str());
    gtk_label_set_line_wrap(GTK_LABEL(text), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(text), 60);
    gtk_label_set_xalign(GTK_LABEL(text), 0);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 6);
    GtkWidget* user = gtk_entry_new();
    gtk_widget_set_name(user, "utilisateur");
    GtkWidget* password = gtk_entry_new();
    gtk_widget_set_name(password, "mot-de-passe");
    gtk_entry_set_visibility(GTK_ENTRY(password), FALSE);
    gtk_entry_set_activates_default(GTK_ENTRY(password), TRUE);
    GtkWidget* userLabel = gtk_label_new_with_mnemonic("_Nom d'utilisateur :");
    GtkWidget* passwordLabel = gtk_label_new_with_mnemonic("_Mot de passe :");
    gtk_label_set_mnemonic_widget(GTK_LABEL(userLabel), user);
    gtk_label_set_mnemonic_widget(GTK_LABEL(passwordLabel), password);
    gtk_label_set_xalign(GTK_LABEL(userLabel), 0);
    gtk_label_set_xalign(GTK_LABEL(passwordLabel), 0);
    gtk_widget_set_hexpand(user, TRUE);
    gtk_grid_attach(GTK_GRID(grid), userLabel, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), user, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), passwordLabel, 0, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), password, 1, 1, 1, 1);
    gtk_box_pack_start(GTK_BOX(area), text, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(area), grid, FALSE, FALSE, 0);
    gtk_widget_show_all(dialog);

    std::optional<Credentials> given;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
        given = Credentials{gtk_entry_get_text(GTK_ENTRY(user)),
                            gtk_entry_get_text(GTK_ENTRY(password))};
    }
    gtk_widget_destroy(dialog);
    return given;
}

} // namespace platform
