#pragma once
// A forced connection attempt to the server of an address.

#include <QString>

namespace platform {

// Tries to open a TCP connection to the host of address (port 80 unless the address names one),
// waiting at most timeoutMs. True when the connection was made.
bool InternetCheckConnection(const QString& address, int timeoutMs = 5000);

} // namespace platform
