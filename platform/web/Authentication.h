#pragma once
// HTTP and proxy authentication: the user is asked once the engine's signal has returned.

#include <webkit2/webkit2.h>

namespace platform {

// Takes the request over (returns having kept a reference) and answers it later.
void Authenticate(WebKitWebView* page, WebKitAuthenticationRequest* request);

} // namespace platform
