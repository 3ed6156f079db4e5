#pragma once

#include <QString>

namespace BrowserMod1 {

// True for every address that holds ":" anywhere, without touching the network; otherwise
// whether a connection to the address's server can be made.
bool CheckInternetConnection(const QString& address);

} // namespace BrowserMod1
