#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: it answers with the pages of TestRoutes and
// records every request line it receives.

#include "support/TestRoutes.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

class TestServer : public QObject {
    Q_OBJECT
public:
    explicit TestServer(QObject* parent = nullptr);
    ~TestServer() override;

    // Listens on 127.0.0.1, on the given port or on a free one (0).
    bool Listen(quint16 port = 0);
    quint16 Port() const;
    // "http://127.0.0.1:PORT" + path.
    QUrl Url(const QString& path) const;
    // Each request received so far as "METHOD PATH", the path raw as sent.
    QStringList Requests() const { return RequestsSeen; }
    // The paths requested so far, in order.
    QStringList Paths() const;

signals:
    // "METHOD PATH HTTP/1.1" as it arrived.
    void RequestLine(const QString& line);

private:
    void Accept();
    void Read(QTcpSocket* socket);
    void Answer(QTcpSocket* socket, const testserver::Response& response);

    QTcpServer* Server;
    QStringList RequestsSeen;
};
