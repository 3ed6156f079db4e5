#include "support/TestServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace {
struct Response {
    QByteArray Body, Status = "200 OK", Headers = "Content-Type: text/html; charset=utf-8\r\n";
    int DelayMs = 0; // before the answer; none when negative
};

Response Html(const QString& title, const QByteArray& body, const QByteArray& status = "200 OK") {
    return {"<!DOCTYPE html><meta charset=\"utf-8\"><title>" + title.toHtmlEscaped().toUtf8() +
                "</title>" + body,
            status};
}

// An element 300 x 40 in the place of a /links entry.
QByteArray Placed(testserver::Link link, const QByteArray& tag, const QByteArray& attributes) {
    const QPoint at = testserver::LinkCentre(link) - QPoint(150, 20);
    return "<" + tag + " " + attributes +
           QStringLiteral(
               " style=\"position:absolute;left:%1px;top:%2px;width:300px;height:40px\">")
               .arg(at.x())
               .arg(at.y())
               .toUtf8() +
           tag + "</" + tag + ">";
}

// One page, all red; without a cross-reference table, which readers rebuild.
const QByteArray kPdf = "%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n2 0 obj "
                        "<</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n3 0 obj <</Type/Page/Parent "
                        "2 0 R/MediaBox[0 0 612 792]/Contents 4 0 R>> endobj\n4 0 obj <</Length "
                        "25>> stream\n1 0 0 rg 0 0 612 792 re f\nendstream endobj\ntrailer "
                        "<</Root 1 0 R>>\n%%EOF\n";

Response Route(const QUrl& url, const QByteArray& head) {
    using testserver::Link;
    const QString path = url.path(QUrl::FullyDecoded);
    const auto script = [](const QByteArray& code) { return "<script>" + code + "</script>"; };
    const QMap<QString, QPair<QString, QByteArray>> pages = {
        // path: title, body
        {"/title", {"Page avec titre", ""}},
        {"/auth", {"Espace membre", "Bienvenue"}}, // once authenticated
        {"/longtitle", {"", script("document.title = 'x'.repeat(2e7)")}},
        {"/links",
         {"Liens", Placed(Link::TargetBlank, "a", "href=/title target=_blank") +
                       Placed(Link::WindowOpen, "a",
                              "href=# onclick=\"window.open('/opener');return false\"") +
                       Placed(Link::Mailto, "a", "href=mailto:compta@example.org")}},
        {"/opener", {"", script("document.title = 'opener:' + (opener ? 'oui' : 'non') + ' [*]'")}},
        {"/width",
         {"", script("onresize = () => document.title = 'largeur:' + innerWidth; onresize()")}},
        {"/keys", {"touche:", script("onkeydown = e => document.title = 'touche:' + e.key")}},
        {"/fullscreen",
         {"plein:non",
          Placed(Link::TargetBlank, "button", "onclick=\"document.body.requestFullscreen()\"") +
              script("document.onfullscreenchange = () => document.title = 'plein:' + "
                     "(document.fullscreenElement ? 'oui' : 'non')")}}};
    const QByteArray user = QByteArray(testserver::AuthUser) + ':' + testserver::AuthPassword;
    if (path == "/auth" && !head.contains("\r\nAuthorization: Basic " + user.toBase64() + "\r\n")) {
        Response r = Html("Refusé", "Identification requise", "401 Unauthorized");
        r.Headers += "WWW-Authenticate: Basic realm=\"Ulmeco\"\r\n";
        return r;
    }
    if (pages.contains(path)) {
        return Html(pages[path].first, pages[path].second);
    }
    if (path == "/slow" || path == "/pending") {
        const QString ms = QUrlQuery(url).queryItemValue("ms");
        Response r = Html("Lente", "Enfin");
        r.DelayMs = path == "/pending" ? -1 : ms.isEmpty() ? 2000 : ms.toInt();
        return r;
    }
    if (path == "/download") {
        return {testserver::DownloadBody, "200 OK",
                QByteArray("Content-Type: application/octet-stream\r\nContent-Disposition: "
                           "attachment; filename=\"") +
                    testserver::DownloadName + "\"\r\n"};
    }
    if (path.startsWith("/echo/")) {
        return Html(path, path.toHtmlEscaped().toUtf8());
    }
    return path == "/pdf" ? Response{kPdf, "200 OK", "Content-Type: application/pdf\r\n"}
                          : Html("Introuvable", "404", "404 Not Found");
}
} // namespace

TestServer::TestServer(QObject* parent) : QObject(parent), Server(new QTcpServer(this)) {
    connect(Server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = Server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void TestServer::Read(QTcpSocket* socket) {
    // One request per connection, answered once its head is complete.
    const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    const QList<QByteArray> line = head.left(head.indexOf('\r')).split(' ');
    if (!head.contains("\r\n\r\n") || line.size() < 2 || socket->property("read").toBool()) {
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
