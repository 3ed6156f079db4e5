#include "platform/Connectivity.h"

#include <QTcpSocket>
#include <QUrl>

namespace platform {

bool InternetCheckConnection(const QString& address, int timeoutMs) {
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

} // namespace platform
