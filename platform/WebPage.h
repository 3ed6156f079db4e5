#pragma once
// The engine page behind every view: new windows, certificate errors (always refused), external
// schemes handed to the desktop, authentication, and the French texts of its menu actions.

#include "platform/WebViewServices.h"

#include <QWebEnginePage>
#include <functional>

class QWebEngineProfile;

namespace platform {

class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    // Answers a request for a new window: the page to load it in, or none to refuse it.
    using WindowOpener = std::function<QWebEnginePage*(WebWindowType type)>;

    WebPage(QWebEngineProfile* profile, WebViewServices services, QObject* parent);

    const WebViewServices& Services() const { return ServicesUsed; }
    void SetWindowOpener(WindowOpener opener) { OpenWindow = std::move(opener); }

    // Schemes the engine shows itself; any other address goes to the desktop.
    static bool IsWebScheme(const QString& scheme);

signals:
    // A text for the status bar (downloads, a crashed renderer, ...).
    void StatusMessage(const QString& text);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // The page's own dialogs (alert, confirm, prompt), in French.
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    void Authenticate(const QUrl& url, QAuthenticator* authenticator, const QString& proxyHost);
    QWidget* DialogParent() const;

    WebViewServices ServicesUsed;
    WindowOpener OpenWindow;
};

} // namespace platform
