#pragma once
// What the web view asks of the user: where to save a download and the credentials a site or
// proxy demands. The real web view asks through dialogs (CreateWebView); tests can answer
// instead.

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

struct Credentials {
    QString User;
    QString Password;
};

struct WebViewServices {
    // The full path to save a download to, proposed as suggestedPath; empty: do not download.
    std::function<QString(QWidget* parent, const QString& suggestedPath)> ChooseDownloadPath;
    // User and password for url (realm as the server names it); nothing: no credentials.
    // host is the proxy's address for a proxy, empty otherwise.
    std::function<std::optional<Credentials>(QWidget* parent, const QUrl& url, const QString& realm,
                                             const QString& proxyHost)>
        AskCredentials;
};

} // namespace platform
