#include "platform/web/PrintSave.h"

#include "platform/StatusText.h"
#include "platform/web/Downloads.h"
#include "platform/web/GObjectPtr.h"
#include "platform/web/PrintPreview.h"
#include "platform/web/WebKitView.h"

#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

namespace platform {

namespace {

GtkWindow* ToplevelOf(GtkWidget* widget) {
    GtkWidget* top = widget != nullptr ? gtk_widget_get_toplevel(widget) : nullptr;
    return top != nullptr && gtk_widget_is_toplevel(top) ? GTK_WINDOW(top) : nullptr;
}

struct Job {
    GObjectPtr<WebKitWebView> Page;
    std::string Pdf;
};

void JobEnded(WebKitWebView* page) {
    if (WebKitView* view = WebKitView::Of(page)) {
        view->SetPrinting(false);
    }
}

} // namespace

std::string FileNameForTitle(const std::string& title) {
    std::string name;
    for (const char c : CaptionText(title, 120)) {
        const bool refused = std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        name += refused ? ' ' : c;
    }
    const auto first = name.find_first_not_of(' ');
    const auto last = name.find_last_not_of(' ');
    name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    return name.empty() ? "page" : name;
}

void PrintPage(WebKitView& view, WebKitPrintOperation* pageOperation) {
    if (view.IsPrinting()) {
        // One job at a time; and a page asking again gets no second dialog over the first.
        return;
    }
    GObjectPtr<WebKitPrintOperation> operation(
        pageOperation != nullptr ? WEBKIT_PRINT_OPERATION(g_object_ref(pageOperation))
                                 : webkit_print_operation_new(view.Page()));
    view.SetPrinting(true);
    auto* job = new Job{Ref(view.Page()), {}};
    g_signal_connect_data(
        operation.get(), "finished", G_CALLBACK(+[](WebKitPrintOperation*, gpointer data) {
            JobEnded(static_cast<Job*>(data)->Page.get());
        }),
        job, +[](gpointer data, GClosure*) { delete static_cast<Job*>(data); }, GConnectFlags(0));
    const WebKitPrintOperationResponse answer =
        webkit_print_operation_run_dialog(operation.get(), ToplevelOf(view.Widget()));
    if (answer == WEBKIT_PRINT_OPERATION_RESPONSE_CANCEL) {
        view.SetPrinting(false);
    }
}

void PreviewPage(WebKitView& view) {
    if (view.IsPrinting()) {
        return;
    }
    gchar* folder = g_dir_make_tmp("orvane-apercu-XXXXXX", nullptr);
    if (folder == nullptr) {
        view.ShowStatus("L'aperçu avant impression n'a pas pu être préparé.");
        return;
    }
    std::string pdf = std::string(folder) + "/apercu.pdf";
    g_free(folder);
    gchar* uri = g_filename_to_uri(pdf.c_str(), nullptr, nullptr);
    GtkPrintSettings* settings = gtk_print_settings_new();
    // GTK's file printer, by its name in the user's language.
    gtk_print_settings_set_printer(settings, g_dgettext("gtk30", "Print to File"));
    gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
    gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
    g_free(uri);
    GObjectPtr<WebKitPrintOperation> operation(webkit_print_operation_new(view.Page()));
    webkit_print_operation_set_print_settings(operation.get(), settings);
    g_object_unref(settings);
    view.SetPrinting(true);
    auto* job = new Job{Ref(view.Page()), pdf};
    g_signal_connect(operation.get(), "failed",
                     G_CALLBACK(+[](WebKitPrintOperation*, GError*, gpointer data) {
                         static_cast<Job*>(data)->Pdf.clear();
                     }),
                     job);
    g_signal_connect_data(
        operation.get(), "finished", G_CALLBACK(+[](WebKitPrintOperation*, gpointer data) {
            auto* held = static_cast<Job*>(data);
            JobEnded(held->Page.get());
            WebKitView* shown = WebKitView::Of(held->Page.get());
            if (held->Pdf.empty()) {
                if (shown != nullptr) {
                    shown->ShowStatus("L'aperçu avant impression n'a pas pu être préparé.");
                }
                return;
            }
            ShowPrintPreview(held->Page.get(), held->Pdf);
        }),
        job, +[](gpointer data, GClosure*) { delete static_cast<Job*>(data); }, GConnectFlags(0));
    webkit_print_operation_print(operation.get());
}

void SavePage(WebKitView& view) {
    if (!view.Services().ChooseSavePath) {
        return;
    }
    const std::string suggested =
        DownloadFolder() + "/" + FileNameForTitle(view.DocumentTitle().value_or("")) + ".mhtml";
    std::string path =
        view.Services().ChooseSavePath(view.Widget(), "Enregistrer la page sous", suggested);
    if (path.empty()) {
        return;
    }
    if (path.find('.', path.rfind('/') + 1) == std::string::npos) {
        path += ".mhtml"; // a name typed without its suffix
    }
    GFile* file = g_file_new_for_path(path.c_str());
    auto* job = new Job{Ref(view.Page()), path};
    webkit_web_view_save_to_file(
        view.Page(), file, WEBKIT_SAVE_MODE_MHTML, nullptr,
        +[](GObject* source, GAsyncResult* result, gpointer data) {
            const std::unique_ptr<Job> held(static_cast<Job*>(data));
            GError* error = nullptr;
            const bool saved =
                webkit_web_view_save_to_file_finish(WEBKIT_WEB_VIEW(source), result, &error);
            if (WebKitView* shown = WebKitView::Of(held->Page.get())) {
                shown->ShowStatus(
                    saved ? "Page enregistrée : " + held->Pdf
                          : "Échec de l'enregistrement de la page : " +
                                std::string(error != nullptr ? error->message : "erreur inconnue") +
                                ".");
            }
            g_clear_error(&error);
        },
        job);
    g_object_unref(file);
}

} // namespace platform
