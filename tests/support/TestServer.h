#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests, and the pages it answers with:
//   /title     a page with a <title>
//   /longtitle a page whose script sets a title of 20 million characters "x"
//   /links     links at fixed places (Link, LinkCentre): target=_blank to /echo/Offre [*] 2025,
//              window.open of /title and of /opener, and mailto:compta@example.org
//   /opener    a page whose title says whether window.opener exists
//   /slow      answers after ?ms=N milliseconds (2000 by default)
//   /pending   never answers: a load of it ends only when stopped
//   /download  an attachment (DownloadBody, DownloadName)
//   /auth      basic authentication, 401 unless AuthUser and AuthPassword are given
//   /echo/...  a page whose title and text are the path (percent-decoded)
//   /width     a page whose title is "largeur:" and its width in CSS pixels, kept up to date
//   /keys      a page whose title is "touche:" and the last key pressed in it
//   /fullscreen a button in the place of the first link asking for the page full screen; the
//              title is "plein:oui" while the page is full screen, "plein:non" otherwise
//   /pdf       a one-page PDF, the page all red (#ff0000)
//   anything else: 404

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

namespace testserver {
enum class Link { TargetBlank, WindowOpenTitle, WindowOpenOpener, Mailto };
// The centre of a /links entry, in CSS pixels (the view's pixels at zoom 1).
inline QPoint LinkCentre(Link link) {
    return {160, 30 + 60 * int(link)};
}
QByteArray DownloadBody();
inline constexpr char DownloadName[] = "releve.bin";
inline constexpr char AuthUser[] = "ulmeco";
inline constexpr char AuthPassword[] = "secret";
} // namespace testserver

class TestServer : public QObject {
public:
    explicit TestServer(QObject* parent = nullptr);

    // Listens on 127.0.0.1, on the given port or on a free one (0).
    bool Listen(quint16 port = 0);
    quint16 Port() const;
    // "http://127.0.0.1:PORT" + path.
    QUrl Url(const QString& path) const;
    // The paths requested so far, raw as sent, in order.
    QStringList Paths() const { return PathsSeen; }

private:
    void Read(QTcpSocket* socket);

    QTcpServer* Server;
    QStringList PathsSeen;
};
