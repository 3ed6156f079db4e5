#include "platform/web/Downloads.h"

#include "platform/StatusText.h"
#include "platform/web/GObjectPtr.h"
#include "platform/web/WebKitView.h"

#include <webkit2/webkit2.h>

#include <memory>

namespace platform {

namespace {

struct Followed {
    std::string Name;
    std::string Path;
    int Percent = -1;
    bool Failed = false;
};

Followed& StateOf(WebKitDownload* download) {
    return *static_cast<Followed*>(g_object_get_data(G_OBJECT(download), "orvane-download"));
}

void Tell(WebKitDownload* download, const std::string& text) {
    if (WebKitView* view = WebKitView::Of(webkit_download_get_web_view(download))) {
        view->ShowStatus(text);
    }
}

std::string Reason(const GError* error) {
    if (g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_DESTINATION)) {
        return "le fichier n'a pas pu être écrit dans le dossier choisi";
    }
    if (g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_NETWORK)) {
        return "la connexion a été interrompue";
    }
    return "erreur inconnue";
}

void Choose(WebKitDownload* download) {
    Followed& state = StateOf(download);
    WebKitView* view = WebKitView::Of(webkit_download_get_web_view(download));
    const WebViewServices services = view != nullptr ? view->Services() : DefaultServices();
    const std::string suggested = DownloadFolder() + "/" + state.Name;
    const std::string path =
        services.ChooseSavePath
            ? services.ChooseSavePath(view != nullptr ? view->Widget() : nullptr,
                                      "Enregistrer le fichier sous", suggested)
            : std::string();
    if (path.empty()) {
        state.Failed = true;
        Tell(download, "Téléchargement de « " + state.Name + " » annulé.");
        webkit_download_cancel(download);
        return;
    }
    state.Path = path;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    webkit_download_set_allow_overwrite(download, TRUE); // the dialog asked already
    webkit_download_set_destination(download, uri != nullptr ? uri : path.c_str());
    g_free(uri);
    Tell(download, "Téléchargement de « " + state.Name + " » : 0 %");
}

} // namespace

std::string DownloadFolder() {
    const char* downloads = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    // A file dialog asked to open on a folder that is not there opens anywhere.
    if (downloads != nullptr && g_mkdir_with_parents(downloads, 0755) == 0 &&
        g_file_test(downloads, G_FILE_TEST_IS_DIR)) {
        return downloads;
    }
    return g_get_home_dir();
}

std::string SafeDownloadName(const std::string& suggested) {
    const std::string last = suggested.substr(suggested.find_last_of("/\\") + 1);
    std::string name;
    for (const char c : CaptionText(last, 200)) {
        name += std::string_view(":*?\"<>|").find(c) != std::string_view::npos ? '_' : c;
    }
    if (name.empty() || name == "." || name == "..") {
        return "telechargement";
    }
    return name;
}

void FollowDownload(WebKitDownload* download) {
    g_object_set_data_full(
        G_OBJECT(download), "orvane-download", new Followed,
        +[](gpointer data) { delete static_cast<Followed*>(data); });
    g_signal_connect(download, "decide-destination",
                     G_CALLBACK(+[](WebKitDownload* download, gchar* suggested, gpointer) {
                         StateOf(download).Name =
                             SafeDownloadName(suggested != nullptr ? suggested : "");
                         // The dialog runs its own loop: from the main loop, once this returns.
                         g_idle_add_full(
                             G_PRIORITY_DEFAULT,
                             +[](gpointer data) {
                                 Choose(WEBKIT_DOWNLOAD(data));
                                 return G_SOURCE_REMOVE;
                             },
                             g_object_ref(download), g_object_unref);
                         return TRUE;
                     }),
                     nullptr);
    g_signal_connect(
        download, "notify::estimated-progress",
        G_CALLBACK(+[](WebKitDownload* download, GParamSpec*, gpointer) {
            Followed& state = StateOf(download);
            const int percent =
                static_cast<int>(webkit_download_get_estimated_progress(download) * 100.0);
            if (state.Path.empty() || state.Failed || percent == state.Percent || percent >= 100) {
                return;
            }
            state.Percent = percent;
            Tell(download,
                 "Téléchargement de « " + state.Name + " » : " + std::to_string(percent) + " %");
        }),
        nullptr);
    g_signal_connect(download, "failed",
                     G_CALLBACK(+[](WebKitDownload* download, GError* error, gpointer) {
                         Followed& state = StateOf(download);
                         if (state.Failed) {
                             return; // refused: said already
                         }
                         state.Failed = true;
                         Tell(download, g_error_matches(error, WEBKIT_DOWNLOAD_ERROR,
                                                        WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER)
                                            ? "Téléchargement de « " + state.Name + " » annulé."
                                            : "Échec du téléchargement de « " + state.Name +
                                                  " » : " + Reason(error) + ".");
                     }),
                     nullptr);
    g_signal_connect(download, "finished", G_CALLBACK(+[](WebKitDownload* download, gpointer) {
                         const Followed& state = StateOf(download);
                         if (!state.Failed) {
                             Tell(download, "Téléchargement terminé : " + state.Path);
                         }
                     }),
                     nullptr);
}

} // namespace platform
