#include "platform/web/Authentication.h"

#include "platform/web/GObjectPtr.h"
#include "platform/web/WebKitView.h"

#include <memory>

namespace platform {

namespace {

struct Pending {
    GObjectPtr<WebKitWebView> Page;
    GObjectPtr<WebKitAuthenticationRequest> Request;
};

std::string Text(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace

void Authenticate(WebKitWebView* page, WebKitAuthenticationRequest* request) {
    // The dialog runs its own loop: outside the engine's signal, from the main loop.
    auto* pending = new Pending{Ref(page), Ref(request)};
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        +[](gpointer data) {
            const std::unique_ptr<Pending> held(static_cast<Pending*>(data));
            WebKitAuthenticationRequest* request = held->Request.get();
            WebKitView* view = WebKitView::Of(held->Page.get());
            const WebViewServices services = view != nullptr ? view->Services() : DefaultServices();
            std::optional<Credentials> given;
            if (services.AskCredentials) {
                CredentialsQuestion question{Text(webkit_authentication_request_get_host(request)),
                                             Text(webkit_authentication_request_get_realm(request)),
                                             webkit_authentication_request_is_for_proxy(request) !=
                                                 FALSE};
                GtkWidget* parent = view != nullptr ? view->Widget() : nullptr;
                given = services.AskCredentials(parent, question);
            }
            if (!given) {
                webkit_authentication_request_authenticate(request, nullptr);
                return G_SOURCE_REMOVE;
            }
            WebKitCredential* credential =
                webkit_credential_new(given->User.c_str(), given->Password.c_str(),
                                      WEBKIT_CREDENTIAL_PERSISTENCE_FOR_SESSION);
            webkit_authentication_request_authenticate(request, credential);
            webkit_credential_free(credential);
            return G_SOURCE_REMOVE;
        },
        pending, nullptr);
}

} // namespace platform
