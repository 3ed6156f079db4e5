#include "platform/web/PrintPreview.h"

#include "platform/web/GObjectPtr.h"
#include "platform/web/PrintSave.h"
#include "platform/web/WebContext.h"
#include "platform/web/WebKitView.h"

#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

namespace platform {

namespace {

struct Preview {
    GObjectPtr<WebKitWebView> Page; // the page printed
    std::string Pdf;
    ~Preview() {
        g_unlink(Pdf.c_str());
        gchar* folder = g_path_get_dirname(Pdf.c_str());
        g_rmdir(folder);
        g_free(folder);
    }
};

} // namespace

GtkWidget* ShowPrintPreview(WebKitWebView* page, const std::string& pdfPath) {
    auto* preview = new Preview{Ref(page), pdfPath};
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Aperçu avant impression");
    gtk_window_set_default_size(GTK_WINDOW(window), 800, 900);
    GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(page));
    if (top != nullptr && gtk_widget_is_toplevel(top)) {
        gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(top));
    }
    g_object_set_data_full(
        G_OBJECT(window), "orvane-preview", preview,
        +[](gpointer data) { delete static_cast<Preview*>(data); });

    GtkWidget* viewer =
        GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(), "settings",
                                SharedWebSettings(), nullptr));
    gchar* uri = g_filename_to_uri(pdfPath.c_str(), nullptr, nullptr);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(viewer), uri);
    g_free(uri);

    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), 6);
    GtkWidget* print = gtk_button_new_with_label("Imprimer");
    GtkWidget* close = gtk_button_new_with_label("Fermer");
    gtk_container_add(GTK_CONTAINER(buttons), print);
    gtk_container_add(GTK_CONTAINER(buttons), close);
    g_signal_connect(print, "clicked", G_CALLBACK(+[](GtkButton*, gpointer window) {
                         auto* held = static_cast<Preview*>(
                             g_object_get_data(G_OBJECT(window), "orvane-preview"));
                         GObjectPtr<WebKitWebView> printed = Ref(held->Page.get());
                         gtk_widget_destroy(GTK_WIDGET(window));
                         if (WebKitView* view = WebKitView::Of(printed.get())) {
                             PrintPage(*view, nullptr);
                         }
                     }),
                     window);
    g_signal_connect_swapped(close, "clicked", G_CALLBACK(gtk_widget_destroy), window);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_box_pack_start(GTK_BOX(box), viewer, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 6);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_widget_show_all(window);
    return window;
}

} // namespace platform
