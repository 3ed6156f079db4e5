#pragma once
// What the page may load: addresses of other schemes go to the desktop, responses the view
// cannot show become downloads.

#include <webkit2/webkit2.h>

namespace platform {

class WebKitView;

gboolean DecidePolicy(WebKitView& view, WebKitPolicyDecision* decision,
                      WebKitPolicyDecisionType type);

} // namespace platform
