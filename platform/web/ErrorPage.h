#pragma once
// The French page shown in place of a site whose certificate the engine doubts.

#include <gio/gio.h>

#include <string>
#include <string_view>

namespace platform {

// Markup's special characters of text as entities.
std::string HtmlEscaped(std::string_view text);

std::string TlsErrorPage(const std::string& address, GTlsCertificateFlags flags);

} // namespace platform
