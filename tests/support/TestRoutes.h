#pragma once
// The pages the local test web server answers with, as a plain function of the request.

#include <QByteArray>
#include <QList>
#include <QPair>

namespace testserver {

struct Request {
    QByteArray Method;
    QByteArray Path; // raw, as received: path and query
    QList<QPair<QByteArray, QByteArray>> Headers;

    QByteArray Header(const QByteArray& name) const;
};

struct Response {
    int Status = 200;
    QByteArray Reason = "OK";
    QList<QPair<QByteArray, QByteArray>> Headers;
    QByteArray Body;
    int DelayMs = 0; // how long the server waits before answering
};

// User and password that /auth accepts.
inline constexpr char AuthUser[] = "ulmeco";
inline constexpr char AuthPassword[] = "secret";

// Routes:
//   /title     a page with a <title>
//   /notitle   a page without one
//   /longtitle a page whose head script sets a title of 20 million characters "x"
//   /links     a link with target=_blank, window.open links, a javascript: link and a mailto:
//              link to compta@example.org, each at a
//              fixed place (see LinkBox) so that tests can point at them
//   /slow      answers after ?ms=N milliseconds (2000 by default)
//   /download  an attachment
//   /auth      basic authentication, 401 unless the credentials above are given
//   /opener    a page whose title says whether window.opener exists
//   /echo/...  a page whose title is the path (percent-decoded)
//   /width     a page whose title is "largeur:" and its width in CSS pixels, kept up to date
//   /keys      a page whose title is "touche:" and the last key pressed in it
//   /pdf       a one-page PDF, the page all red (#ff0000)
//   /fullscreen a button (FullScreenButton) asking for the page full screen; the title is
//              "plein:oui" while the page is full screen, "plein:non" otherwise
//   anything else: 404
Response Route(const Request& request);

// Where /links places its entries, in CSS pixels from the top-left corner of the page.
enum class Link { TargetBlank, WindowOpenTitle, WindowOpenOpener, JavaScript, Mailto };
struct LinkBox {
    int Left, Top, Width, Height;
};
LinkBox LinkPlace(Link link);
inline constexpr LinkBox FullScreenButton{10, 10, 300, 100};

// The bytes /download sends and the file name it suggests.
QByteArray DownloadBody();
inline constexpr char DownloadName[] = "releve.bin";

} // namespace testserver
