#pragma once
// The connectivity test of the home address before the first navigation.

#include <string>

namespace BrowserMod1 {

// True for every address that holds ":" anywhere, without touching the network. Otherwise the
// address names its server before any "/", "?" or "#": true when a TCP connection to it on
// port 80 is accepted within timeoutMs.
bool CheckInternetConnection(const std::string& address, int timeoutMs = 5000);

} // namespace BrowserMod1
