#include "app/Connectivity.h"

#include "platform/net/TcpProbe.h"

namespace BrowserMod1 {

bool CheckInternetConnection(const std::string& address, int timeoutMs) {
    if (address.find(':') != std::string::npos) {
        return true;
    }
    // Without ":" the address has no scheme and no port: its server is what comes first.
    const std::string host = address.substr(0, address.find_first_of("/?#"));
    return platform::CanConnect(host, 80, timeoutMs);
}

} // namespace BrowserMod1
