#include "support/TestRoutes.h"

#include <QUrl>
#include <QUrlQuery>

namespace testserver {

QByteArray Request::Header(const QByteArray& name) const {
    for (const auto& [key, value] : Headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return {};
}

namespace {

Response Html(const QByteArray& head, const QByteArray& body) {
    Response r;
    r.Headers = {{"Content-Type", "text/html; charset=utf-8"}};
    r.Body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" + head + "</head><body>" + body +
             "</body></html>";
    return r;
}

QByteArray Escaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

QByteArray Title(const QString& text) {
    return "<title>" + Escaped(text) + "</title>";
}

// The style that puts an element at a fixed place of the page.
QByteArray PlaceStyle(const LinkBox& box) {
    return QByteArrayLiteral("position:absolute;display:block;left:%1px;top:%2px;"
                             "width:%3px;height:%4px")
        .replace("%1", QByteArray::number(box.Left))
        .replace("%2", QByteArray::number(box.Top))
        .replace("%3", QByteArray::number(box.Width))
        .replace("%4", QByteArray::number(box.Height));
}

QByteArray PlacedLink(Link link, const QByteArray& attributes, const QByteArray& text) {
    return "<a " + attributes + " style=\"" + PlaceStyle(LinkPlace(link)) + ";background:#eee\">" +
           text + "</a>";
}

// A one-page PDF, the page all red.
Response Pdf() {
    const QByteArray content = "1 0 0 rg 0 0 612 792 re f";
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
            "\nendstream"};
    Response r;
    r.Headers = {{"Content-Type", "application/pdf"}};
    r.Body = "%PDF-1.4\n";
    QByteArray table =
        "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(r.Body.size()).rightJustified(10, '0') + " 00000 n \n";
        r.Body += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const QByteArray start = QByteArray::number(r.Body.size());
    r.Body += table + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
              " /Root 1 0 R >>\nstartxref\n" + start + "\n%%EOF\n";
    return r;
}

Response Links() {
    return Html(
        Title("Liens"),
        PlacedLink(Link::TargetBlank, "id=\"blank\" href=\"/title\" target=\"_blank\"",
                   "Nouvelle fenêtre") +
            PlacedLink(Link::WindowOpenTitle,
                       "id=\"open\" href=\"#\" onclick=\"window.open('/title');return "
                       "false\"",
                       "window.open") +
            PlacedLink(Link::WindowOpenOpener,
                       "id=\"opener\" href=\"#\" onclick=\"window.open('/opener');return "
                       "false\"",
                       "window.open avec opener") +
            PlacedLink(Link::JavaScript, "id=\"js\" href=\"javascript:void(0)\"", "javascript") +
            PlacedLink(Link::Mailto, "id=\"mail\" href=\"mailto:compta@example.org\"", "courriel"));
}

Response Auth(const Request& request) {
    const QByteArray expected =
        "Basic " + (QByteArray(AuthUser) + ':' + QByteArray(AuthPassword)).toBase64();
    if (request.Header("Authorization") == expected) {
        return Html(Title("Espace membre"), "<p>Bienvenue</p>");
    }
    Response r = Html(Title("Refusé"), "<p>Identification requise</p>");
    r.Status = 401;
    r.Reason = "Unauthorized";
    r.Headers << qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"Ulmeco\""));
    return r;
}

} // namespace

LinkBox LinkPlace(Link link) {
    constexpr int height = 40;
    constexpr int gap = 20;
    const int row = static_cast<int>(link);
    return {10, 10 + row * (height + gap), 300, height};
}

QByteArray DownloadBody() {
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += char(i % 251);
    }
    return bytes;
}

Response Route(const Request& request) {
    const QUrl url(QString::fromLatin1(request.Path));
    const QString path = url.path();
    if (path == "/title") {
        return Html(Title("Page avec titre"), "<p>Bonjour</p>");
    }
    if (path == "/notitle") {
        return Html({}, "<p>Sans titre</p>");
    }
    if (path == "/longtitle") {
        return Html("<script>document.title = 'x'.repeat(20000000);</script>", "<p>Titre</p>");
    }
    if (path == "/links") {
        return Links();
    }
    if (path == "/slow") {
        bool ok = false;
        const int ms = QUrlQuery(url).queryItemValue("ms").toInt(&ok);
        Response r = Html(Title("Lente"), "<p>Enfin</p>");
        r.DelayMs = ok && ms >= 0 ? ms : 2000;
        return r;
    }
    if (path == "/download") {
        Response r;
        r.Headers = {
            {"Content-Type", "application/octet-stream"},
            {"Content-Disposition", QByteArray("attachment; filename=\"") + DownloadName + '"'}};
        r.Body = DownloadBody();
        return r;
    }
    if (path == "/auth") {
        return Auth(request);
    }
    if (path == "/opener") {
        return Html({}, "<script>document.title = window.opener ? 'opener:oui' : "
                        "'opener:non';</script><p>Fenêtre ouverte</p>");
    }
    if (path == "/width") {
        return Html({}, "<script>function show() { document.title = 'largeur:' + "
                        "window.innerWidth; } show(); addEventListener('resize', show);</script>");
    }
    if (path == "/keys") {
        return Html(Title("touche:"),
                    "<p>Touches</p><script>addEventListener('keydown', function (e) { "
                    "document.title = 'touche:' + e.key; });</script>");
    }
    if (path == "/fullscreen") {
        return Html(Title("plein:non"),
                    "<button style=\"" + PlaceStyle(FullScreenButton) +
                        "\" onclick=\"document.documentElement.requestFullscreen()\">"
                        "Plein écran</button>" +
                        "<script>document.addEventListener('fullscreenchange', function () { "
                        "document.title = document.fullscreenElement ? 'plein:oui' : "
                        "'plein:non'; });</script>");
    }
    if (path == "/pdf") {
        return Pdf();
    }
    if (path.startsWith("/echo/")) {
        return Html(Title(path), "<p>" + Escaped(path) + "</p>");
    }
    Response r = Html(Title("Introuvable"), "<p>404</p>");
    r.Status = 404;
    r.Reason = "Not Found";
    return r;
}

} // namespace testserver
