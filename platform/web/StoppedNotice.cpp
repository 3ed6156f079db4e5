#include "platform/web/StoppedNotice.h"

#include <gtk/gtk.h>

namespace platform {

GtkWidget* MakeStoppedNotice(std::function<void()> reload) {
    GtkWidget* notice = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
    // The theme paints the window's background under this class: the dead page does not show.
    gtk_style_context_add_class(gtk_widget_get_style_context(notice), GTK_STYLE_CLASS_BACKGROUND);
    gtk_widget_set_halign(notice, GTK_ALIGN_FILL);
    gtk_widget_set_valign(notice, GTK_ALIGN_FILL);
    GtkWidget* text = gtk_label_new(kProcessGoneText);
    gtk_label_set_line_wrap(GTK_LABEL(text), TRUE);
    gtk_label_set_justify(GTK_LABEL(text), GTK_JUSTIFY_CENTER);
    gtk_widget_set_valign(text, GTK_ALIGN_END);
    gtk_widget_set_vexpand(text, TRUE);
    GtkWidget* button = gtk_button_new_with_label("Actualiser");
    gtk_widget_set_halign(button, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(button, GTK_ALIGN_START);
    gtk_widget_set_vexpand(button, TRUE);
    auto* held = new std::function<void()>(std::move(reload));
    g_signal_connect_data(
        button, "clicked", G_CALLBACK(+[](GtkButton*, gpointer data) {
            (*static_cast<std::function<void()>*>(data))();
        }),
        held, +[](gpointer data, GClosure*) { delete static_cast<std::function<void()>*>(data); },
        GConnectFlags(0));
    gtk_box_pack_start(GTK_BOX(notice), text, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(notice), button, TRUE, TRUE, 0);
    gtk_widget_show_all(notice);
    gtk_widget_hide(notice);
    gtk_widget_set_no_show_all(notice, TRUE);
    return notice;
}

} // namespace platform
