#pragma once
// An HTTP/1.1 server on 127.0.0.1 for tests. Pages: /title; /longtitle (title: 20 million "x");
// /links (at LinkCentre: target=_blank to /title, window.open of /opener,
// mailto:compta@example.org); /opener (title "opener:oui [*]" with an opener); /slow (answers after
// ?ms=N, default 2000); /pending (never answers); /download (DownloadBody as DownloadName); /auth
// (basic, 401 unless AuthUser:AuthPassword); /echo/... (title and text: the path, decoded); /width
// ("largeur:" and the CSS width); /keys ("touche:" and the last key); /fullscreen (a button at the
// first link's place asks for it; "plein:oui" or "plein:non"); /pdf (one page, all red); else 404.

#include <QHostAddress>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace testserver {
enum class Link { TargetBlank, WindowOpen, Mailto };
// The centre of a /links entry, in CSS pixels (the view's pixels at zoom 1).
inline QPoint LinkCentre(Link link) {
    return {160, 30 + 60 * int(link)};
}
inline const QByteArray DownloadBody =
    QByteArray("\0\x01\r\n\x7f\x80\xfe\xff binaire", 16).repeated(256);
inline constexpr char DownloadName[] = "releve.bin";
inline constexpr char AuthUser[] = "ulmeco";
inline constexpr char AuthPassword[] = "secret";
} // namespace testserver

class TestServer : public QObject {
public:
    explicit TestServer(QObject* parent = nullptr);
    // Listens on 127.0.0.1, on the given port or on a free one (0).
    bool Listen(quint16 port = 0) { return Server->listen(QHostAddress::LocalHost, port); }
    quint16 Port() const { return Server->serverPort(); }
    QUrl Url(const QString& path) const { // "http://127.0.0.1:PORT" + path
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path));
    }
    // The paths requested so far, raw as sent, in order.
    QStringList Paths() const { return PathsSeen; }

private:
    void Read(QTcpSocket* socket);
    QTcpServer* Server;
    QStringList PathsSeen;
};
