#include "platform/web/Address.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace platform {

std::string SchemeOf(std::string_view address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0 ||
        !std::isalpha(static_cast<unsigned char>(address[0]))) {
        return {};
    }
    std::string scheme;
    for (const char c : address.substr(0, colon)) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '+' && c != '-' && c != '.') {
            return {};
        }
        scheme += static_cast<char>(std::tolower(u));
    }
    return scheme;
}

bool IsEngineScheme(std::string_view scheme) {
    static constexpr std::array<std::string_view, 10> kEngine = {
        "http", "https",      "file",     "about",       "data",
        "blob", "javascript", "resource", "view-source", "webkit-pdfjs-viewer"};
    return std::find(kEngine.begin(), kEngine.end(), scheme) != kEngine.end();
}

std::string AddressToUri(std::string_view address) {
    if (!address.empty() && address[0] == '/') {
        return "file://" + std::string(address);
    }
    const std::string scheme = SchemeOf(address);
    if (scheme.empty()) {
        return address.empty() ? std::string() : "http://" + std::string(address);
    }
    // "localhost:8080/x": what follows the colon is a port, not the rest of an address.
    const std::string_view rest = address.substr(scheme.size() + 1);
    const std::size_t digits = std::min(rest.find_first_not_of("0123456789"), rest.size());
    if (!IsEngineScheme(scheme) && digits > 0 && (digits == rest.size() || rest[digits] == '/')) {
        return "http://" + std::string(address);
    }
    return std::string(address);
}

} // namespace platform
