#pragma once
// The engine page behind every view: new windows, certificate errors (always refused), external
// schemes handed to the desktop, authentication, and its menu actions: French texts, and those
// that open a window or save the page carried out by the program itself.

#include "qt/platform/WebViewServices.h"

#include <QWebEnginePage>
#include <functional>

class QWebEngineProfile;

namespace platform {

class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    // Who wants a new window: the page (a link with a target, a script, a middle click), which
    // the window may refuse or turn into a navigation of its own; or the user, through an entry
    // of the page's menu that names a new window, who always gets one.
    enum class WindowAsker { Page, User };
    // Answers a request for a new window: the page to load it in, or none to refuse it.
    using WindowOpener = std::function<QWebEnginePage*(WindowAsker asker)>;

    WebPage(QWebEngineProfile* profile, WebViewServices services, QObject* parent);

    const WebViewServices& Services() const { return ServicesUsed; }
    void SetWindowOpener(WindowOpener opener) { OpenWindow = std::move(opener); }

    // Schemes the engine shows itself; any other address goes to the desktop.
    static bool IsWebScheme(const QString& scheme);

    // The menu's actions, as their French texts say: "Ouvrir le lien dans une nouvelle fenêtre"
    // and "Code source de la page" open a new window whoever the window's new-window rule would
    // favour, "Enregistrer la page sous…" asks where with the save dialog. The rest is the
    // engine's.
    void triggerAction(WebAction action, bool checked = false) override;

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
    void OpenInNewWindow(const QUrl& link);
    void OpenWindowAt(const QUrl& url);

    WebViewServices ServicesUsed;
    WindowOpener OpenWindow;
};

} // namespace platform
