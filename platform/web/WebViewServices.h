#pragma once
// What the web view asks of the user and of the desktop, each a replaceable function so that a
// test can answer instead of a person: the save dialog, the credentials dialog, the desktop's
// handler of addresses the engine does not load. CreateWebView(events) uses DefaultServices().

#include "platform/web/WebView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

typedef struct _GtkWidget GtkWidget;

namespace platform {

struct Credentials {
    std::string User;
    std::string Password;
};

// What the credentials dialog tells the user.
struct CredentialsQuestion {
    std::string Host;   // the site's or the proxy's host
    std::string Realm;  // the realm the server gave, may be empty
    bool Proxy = false; // a proxy asks
};

struct WebViewServices {
    // The file chosen for saving, or empty when the user refuses. caption: the dialog's caption;
    // suggested: the full path proposed.
    std::function<std::string(GtkWidget* parent, const std::string& caption,
                              const std::string& suggested)>
        ChooseSavePath;
    std::function<std::optional<Credentials>(GtkWidget* parent, const CredentialsQuestion&)>
        AskCredentials;
    // Hands an address the engine does not load (mailto:, tel:, ...) to the desktop.
    std::function<void(const std::string& address)> OpenOutside;
};

// The French GTK dialogs and the desktop's default handlers.
WebViewServices DefaultServices();

std::unique_ptr<WebView> CreateWebView(WebViewEvents events, WebViewServices services);

} // namespace platform
