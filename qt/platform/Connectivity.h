#pragma once
// The connectivity test of the home address before the first navigation.

#include <QString>

namespace BrowserMod1 {

// True for every address that holds ":" anywhere, without touching the network; otherwise
// whether a TCP connection to the address's server (port 80 unless the address names one) can be
// made within timeoutMs.
bool CheckInternetConnection(const QString& address, int timeoutMs = 5000);

} // namespace BrowserMod1
