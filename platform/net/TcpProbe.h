#pragma once
// Whether a server answers: a TCP connection to a host and port, made and closed at once.

#include <string>

namespace platform {

// True when a TCP connection to host (a name or an address) and port is accepted within
// timeoutMs, for any of the host's addresses. Never blocks longer than the timeout once the
// name is resolved; a name that does not resolve is false.
bool CanConnect(const std::string& host, int port, int timeoutMs);

} // namespace platform
