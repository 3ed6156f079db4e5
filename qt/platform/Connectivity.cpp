#include "qt/platform/Connectivity.h"

#include <QTcpSocket>
#include <QUrl>

namespace BrowserMod1 {

bool CheckInternetConnection(const QString& address, int timeoutMs) {
    if (address.contains(QLatin1Char(':'))) {
        return true;
    }
    // An address here has no scheme: read it as the host (and port) of a web address.
    const QUrl url(QStringLiteral("http://") + address);
    if (!url.isValid() || url.host().isEmpty()) {
        return false;
    }
    QTcpSocket socket;
    socket.connectToHost(url.host(), static_cast<quint16>(url.port(80)));
    const bool connected = socket.waitForConnected(timeoutMs);
    socket.abort();
    return connected;
}

} // namespace BrowserMod1
