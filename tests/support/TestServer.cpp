#include "support/TestServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace {

struct Response {
    QByteArray Status = "200 OK";
    QByteArray Headers = "Content-Type: text/html; charset=utf-8\r\n";
    QByteArray Body;
    int DelayMs = 0; // before the answer; never answered when negative
};

Response Html(const QByteArray& head, const QByteArray& body, const QByteArray& status = "200 OK") {
    Response r;
    r.Status = status;
    r.Body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" + head + "</head><body>" + body +
             "</body></html>";
    return r;
}

QByteArray Title(const QString& text) {
    return "<title>" + text.toHtmlEscaped().toUtf8() + "</title>";
}

// An element in the place of a /links entry.
QByteArray Placed(testserver::Link link, const QByteArray& tag, const QByteArray& attributes,
                  const QByteArray& text) {
    const QPoint at = testserver::LinkCentre(link) - QPoint(150, 20);
    return "<" + tag + ' ' + attributes +
           QStringLiteral(" style=\"position:absolute;display:block;left:%1px;top:%2px;"
                          "width:300px;height:40px;background:#eee\">")
               .arg(at.x())
               .arg(at.y())
               .toUtf8() +
           text + "</" + tag + '>';
}

// A one-page PDF, the page all red.
Response Pdf() {
    const QByteArray content = "1 0 0 rg 0 0 612 792 re f";
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
            "\nendstream"};
    Response r{"200 OK", "Content-Type: application/pdf\r\n", "%PDF-1.4\n"};
    QByteArray table = "xref\n0 5\n0000000000 65535 f \n";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(r.Body.size()).rightJustified(10, '0') + " 00000 n \n";
        r.Body += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const QByteArray start = QByteArray::number(r.Body.size());
    r.Body += table + "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + start + "\n%%EOF\n";
    return r;
}

Response Route(const QUrl& url, const QByteArray& head) {
    using testserver::Link;
    const QString path = url.path(QUrl::FullyDecoded);
    if (path == "/title") {
        return Html(Title("Page avec titre"), "<p>Bonjour</p>");
    }
    if (path == "/longtitle") {
        return Html("<script>document.title = 'x'.repeat(20000000);</script>", "<p>Titre</p>");
    }
    if (path == "/links") {
        const QByteArray open = "href=\"#\" onclick=\"window.open('%1');return false\"";
        return Html(
            Title("Liens"),
            Placed(Link::TargetBlank, "a", "href=\"/title\" target=\"_blank\"", "Nouvelle") +
                Placed(Link::WindowOpenTitle, "a",
                       QByteArray(open).replace("%1", "/echo/Offre [*] 2025"), "open") +
                Placed(Link::WindowOpenOpener, "a", QByteArray(open).replace("%1", "/opener"),
                       "opener") +
                Placed(Link::Mailto, "a", "href=\"mailto:compta@example.org\"", "courriel"));
    }
    if (path == "/opener") {
        return Html({}, "<script>document.title = window.opener ? 'opener:oui' : "
                        "'opener:non';</script>");
    }
    if (path == "/slow" || path == "/pending") {
        bool ok = false;
        const int ms = QUrlQuery(url).queryItemValue("ms").toInt(&ok);
        Response r = Html(Title("Lente"), "<p>Enfin</p>");
        r.DelayMs = path == "/pending" ? -1 : ok && ms >= 0 ? ms : 2000;
        return r;
    }
    if (path == "/download") {
        return {"200 OK",
                QByteArray("Content-Type: application/octet-stream\r\nContent-Disposition: "
                           "attachment; filename=\"") +
                    testserver::DownloadName + "\"\r\n",
                testserver::DownloadBody()};
    }
    if (path == "/auth") {
        const QByteArray given =
            "Authorization: Basic " +
            (QByteArray(testserver::AuthUser) + ':' + testserver::AuthPassword).toBase64();
        if (head.split('\n').contains(given + '\r')) {
            return Html(Title("Espace membre"), "<p>Bienvenue</p>");
        }
        Response r = Html(Title("Refusé"), "<p>Identification requise</p>", "401 Unauthorized");
        r.Headers += "WWW-Authenticate: Basic realm=\"Ulmeco\"\r\n";
        return r;
    }
    if (path.startsWith("/echo/")) {
        return Html(Title(path), "<p>" + path.toHtmlEscaped().toUtf8() + "</p>");
    }
    if (path == "/width") {
        return Html({}, "<script>function show() { document.title = 'largeur:' + "
                        "window.innerWidth; } show(); addEventListener('resize', show);</script>");
    }
    if (path == "/keys") {
        return Html(Title("touche:"), "<p>Touches</p><script>addEventListener('keydown', "
                                      "function (e) { document.title = 'touche:' + e.key; });"
                                      "</script>");
    }
    if (path == "/fullscreen") {
        return Html(Title("plein:non"),
                    Placed(Link::TargetBlank, "button",
                           "onclick=\"document.documentElement.requestFullscreen()\"", "Plein") +
                        "<script>document.addEventListener('fullscreenchange', function () { "
                        "document.title = document.fullscreenElement ? 'plein:oui' : "
                        "'plein:non'; });</script>");
    }
    if (path == "/pdf") {
        return Pdf();
    }
    return Html(Title("Introuvable"), "<p>404</p>", "404 Not Found");
}

} // namespace

QByteArray testserver::DownloadBody() {
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += char(i % 251);
    }
    return bytes;
}

TestServer::TestServer(QObject* parent) : QObject(parent), Server(new QTcpServer(this)) {
    connect(Server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = Server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool TestServer::Listen(quint16 port) {
    return Server->listen(QHostAddress::LocalHost, port);
}

quint16 TestServer::Port() const {
    return Server->serverPort();
}

QUrl TestServer::Url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path));
}

void TestServer::Read(QTcpSocket* socket) {
    // One request per connection, answered once its head is complete.
    if (socket->property("read").toBool()) {
        socket->readAll();
        return;
    }
    const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    const QList<QByteArray> line = head.left(head.indexOf('\r')).split(' ');
    if (!head.contains("\r\n\r\n") || line.size() < 2) {
        return;
    }
    socket->setProperty("read", true);
    PathsSeen << QString::fromLatin1(line[1]);
    const Response r = Route(QUrl(QString::fromLatin1(line[1])), head);
    const QByteArray out = "HTTP/1.1 " + r.Status + "\r\n" + r.Headers +
                           "Content-Length: " + QByteArray::number(r.Body.size()) +
                           "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + r.Body;
    if (r.DelayMs >= 0) {
        QTimer::singleShot(r.DelayMs, socket, [socket, out] {
            socket->write(out);
            socket->disconnectFromHost();
        });
    }
}
