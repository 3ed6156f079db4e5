#include "platform/WebViewServices.h"

#include "platform/CredentialsDialog.h"
#include "platform/Downloads.h"

namespace platform {

WebViewServices WebViewServices::Interactive() {
    return {platform::ChooseDownloadPath, platform::AskCredentials};
}

} // namespace platform
