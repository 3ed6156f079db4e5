#include "app/Connectivity.h"

#include "platform/Connectivity.h"

namespace BrowserMod1 {

bool CheckInternetConnection(const QString& address) {
    if (address.contains(QLatin1Char(':'))) {
        return true;
    }
    return platform::InternetCheckConnection(address);
}

} // namespace BrowserMod1
