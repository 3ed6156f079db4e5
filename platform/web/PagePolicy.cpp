#include "platform/web/PagePolicy.h"

#include "platform/web/Address.h"
#include "platform/web/WebKitView.h"

#include <string>

namespace platform {

namespace {

bool IsAttachment(WebKitURIResponse* response) {
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    const char* disposition =
        headers != nullptr ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
    return disposition != nullptr && g_ascii_strncasecmp(disposition, "attachment", 10) == 0;
}

} // namespace

gboolean DecidePolicy(WebKitView& view, WebKitPolicyDecision* decision,
                      WebKitPolicyDecisionType type) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (!webkit_response_policy_decision_is_main_frame_main_resource(response)) {
            return FALSE;
        }
        if (!webkit_response_policy_decision_is_mime_type_supported(response) ||
            IsAttachment(webkit_response_policy_decision_get_response(response))) {
            webkit_policy_decision_download(decision);
            return TRUE;
        }
        return FALSE;
    }
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = request != nullptr ? webkit_uri_request_get_uri(request) : nullptr;
    const std::string address = uri != nullptr ? uri : "";
    if (address.empty() || IsEngineScheme(SchemeOf(address))) {
        return FALSE;
    }
    // mailto:, tel: and the like belong to the desktop's own programs, never to the page.
    webkit_policy_decision_ignore(decision);
    if (view.Services().OpenOutside) {
        view.Services().OpenOutside(address);
    }
    return TRUE;
}

} // namespace platform
