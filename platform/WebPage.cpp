#include "platform/WebPage.h"

#include "platform/FrenchActions.h"

#include <QAuthenticator>
#include <QDesktopServices>
#include <QWebEngineCertificateError>
#include <QWebEngineView>

namespace platform {

WebPage::WebPage(QWebEngineProfile* profile, WebViewServices services, QObject* parent)
    : QWebEnginePage(profile, parent), ServicesUsed(std::move(services)) {
    TranslateActions(*this);

    // A certificate the engine doubts is never accepted: the engine then shows its error page.
    connect(this, &QWebEnginePage::certificateError, this,
            [](QWebEngineCertificateError error) { error.rejectCertificate(); });
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) {
                Authenticate(url, authenticator, {});
            });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this, &WebPage::Authenticate);
}

bool WebPage::IsWebScheme(const QString& scheme) {
    static const QStringList engineSchemes{"http",        "https",  "file",     "about",
                                           "data",        "blob",   "ftp",      "qrc",
                                           "view-source", "chrome", "devtools", "javascript"};
    return engineSchemes.contains(scheme.toLower());
}

QWebEnginePage* WebPage::createWindow(WebWindowType type) {
    return OpenWindow ? OpenWindow(type) : nullptr;
}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!IsWebScheme(url.scheme())) {
        // mailto:, tel:, and the like belong to the desktop's own programs.
        QDesktopServices::openUrl(url);
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void WebPage::Authenticate(const QUrl& url, QAuthenticator* authenticator,
                           const QString& proxyHost) {
    std::optional<Credentials> credentials;
    if (ServicesUsed.AskCredentials) {
        credentials =
            ServicesUsed.AskCredentials(DialogParent(), url, authenticator->realm(), proxyHost);
    }
    if (!credentials) {
        // A null authenticator tells the engine that no credentials are given.
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(credentials->User);
    authenticator->setPassword(credentials->Password);
}

QWidget* WebPage::DialogParent() const {
    return QWebEngineView::forPage(this);
}

} // namespace platform
