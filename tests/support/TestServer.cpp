#include "support/TestServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr char HeaderEnd[] = "\r\n\r\n";

// Splits a complete request head into the request line and the headers.
bool ParseHead(const QByteArray& head, QByteArray& line, testserver::Request& request) {
    const QList<QByteArray> lines = head.split('\n');
    if (lines.isEmpty()) {
        return false;
    }
    line = lines.first().trimmed();
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() < 2) {
        return false;
    }
    request.Method = parts[0];
    request.Path = parts[1];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& header = lines[i];
        const qsizetype colon = header.indexOf(':');
        if (colon > 0) {
            request.Headers << qMakePair(header.left(colon).trimmed(),
                                         header.mid(colon + 1).trimmed());
        }
    }
    return true;
}

} // namespace

TestServer::TestServer(QObject* parent) : QObject(parent), Server(new QTcpServer(this)) {
    connect(Server, &QTcpServer::newConnection, this, &TestServer::Accept);
}

TestServer::~TestServer() = default;

bool TestServer::Listen(quint16 port) {
    return Server->listen(QHostAddress::LocalHost, port);
}

quint16 TestServer::Port() const {
    return Server->serverPort();
}

QUrl TestServer::Url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path));
}

QStringList TestServer::Paths() const {
    QStringList paths;
    for (const QString& request : RequestsSeen) {
        paths << request.section(' ', 1, 1);
    }
    return paths;
}

void TestServer::Accept() {
    while (QTcpSocket* socket = Server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestServer::Read(QTcpSocket* socket) {
    // Requests are answered one per connection; the head is buffered until it is complete.
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf(HeaderEnd);
    if (end < 0) {
        socket->setProperty("buffer", buffer);
        return;
    }
    socket->setProperty("answered", true);
    QByteArray line;
    testserver::Request request;
    if (!ParseHead(buffer.left(end), line, request)) {
        socket->disconnectFromHost();
        return;
    }
    RequestsSeen << QString::fromLatin1(request.Method + ' ' + request.Path);
    emit RequestLine(QString::fromLatin1(line));

    const testserver::Response response = testserver::Route(request);
    if (response.DelayMs > 0) {
        QTimer::singleShot(response.DelayMs, socket,
                           [this, socket, response] { Answer(socket, response); });
    } else {
        Answer(socket, response);
    }
}

void TestServer::Answer(QTcpSocket* socket, const testserver::Response& response) {
    QByteArray out =
        "HTTP/1.1 " + QByteArray::number(response.Status) + ' ' + response.Reason + "\r\n";
    for (const auto& [name, value] : response.Headers) {
        out += name + ": " + value + "\r\n";
    }
    out += "Content-Length: " + QByteArray::number(response.Body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    out += response.Body;
    socket->write(out);
    socket->disconnectFromHost();
}
