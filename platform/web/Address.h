#pragma once
// Which addresses the engine loads itself, and how an address asked for by the program reads.

#include <string>
#include <string_view>

namespace platform {

// The scheme of an address, lowered; empty when it has none.
std::string SchemeOf(std::string_view address);

// True for the schemes the engine loads in the page (http, https, file, about, data, blob,
// javascript and the engine's own); mailto:, tel: and the like belong to the desktop.
bool IsEngineScheme(std::string_view scheme);

// The address to load: a full address as it is; "127.0.0.1:8080/x", "localhost:8080/x" and
// "example.org" read the way a user typing them means them (http://...); an absolute file path
// as a file: address.
std::string AddressToUri(std::string_view address);

} // namespace platform
