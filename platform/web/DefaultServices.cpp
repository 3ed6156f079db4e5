#include "platform/web/CredentialsDialog.h"
#include "platform/web/SaveDialog.h"
#include "platform/web/WebViewServices.h"

#include <gio/gio.h>

namespace platform {

WebViewServices DefaultServices() {
    WebViewServices services;
    services.ChooseSavePath = ChooseSavePath;
    services.AskCredentials = AskCredentials;
    services.OpenOutside = [](const std::string& address) {
        GError* error = nullptr;
        if (!g_app_info_launch_default_for_uri(address.c_str(), nullptr, &error)) {
            g_clear_error(&error); // no program of the desktop takes it: nothing to open
        }
    };
    return services;
}

} // namespace platform
