#include "qt/platform/WebPage.h"

#include "qt/platform/FrenchActions.h"
#include "qt/platform/PrintSave.h"

#include <QAuthenticator>
#include <QDesktopServices>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineContextMenuRequest>
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

QWebEnginePage* WebPage::createWindow(WebWindowType /*type*/) {
    return OpenWindow ? OpenWindow(WindowAsker::Page) : nullptr;
}

void WebPage::triggerAction(WebAction action, bool checked) {
    const QWebEngineView* view = QWebEngineView::forPage(this);
    const QWebEngineContextMenuRequest* menu =
        view != nullptr ? view->lastContextMenuRequest() : nullptr;
    // The engine would carry these out through createWindow, as if the page asked: the window's
    // new-window rule would then load the last link hovered into the window itself.
    switch (action) {
    case OpenLinkInNewWindow:
    case OpenLinkInNewTab:
    case OpenLinkInNewBackgroundTab:
        if (menu != nullptr) {
            OpenInNewWindow(menu->linkUrl());
        }
        return;
    case ViewSource:
        OpenWindowAt(url().scheme() == QStringLiteral("view-source")
                         ? url()
                         : QUrl(QStringLiteral("view-source:") + url().toString()));
        return;
    case SavePage:
        // The engine would save to the download folder without asking. The dialog opens once
        // the menu is gone.
        QTimer::singleShot(0, this, [this] {
            if (QWebEngineView* shown = QWebEngineView::forPage(this)) {
                platform::SavePage(shown);
            }
        });
        return;
    default:
        QWebEnginePage::triggerAction(action, checked);
        return;
    }
}

// The link as the page gave it: web addresses open in a new window, other schemes (mailto:) go
// to the desktop as a click would send them. Addresses the page could not load itself (file:,
// data:, the engine's own pages) are not opened on its behalf.
void WebPage::OpenInNewWindow(const QUrl& link) {
    const QString scheme = link.scheme().toLower();
    if (!link.isValid()) {
        return;
    }
    if (!IsWebScheme(scheme)) {
        QDesktopServices::openUrl(link);
        return;
    }
    if (scheme == QStringLiteral("http") || scheme == QStringLiteral("https")) {
        OpenWindowAt(link);
    }
}

void WebPage::OpenWindowAt(const QUrl& url) {
    if (QWebEnginePage* page = OpenWindow ? OpenWindow(WindowAsker::User) : nullptr) {
        page->load(url);
    }
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
