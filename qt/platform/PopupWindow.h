#pragma once
// A window opened by a page (a link with a target, window.open, a middle click) when the main
// window lets it open: a plain window with its own view and status line. Its page is the one the
// engine asked for, so the opened page keeps its opener.

#include "qt/platform/WebViewServices.h"

#include <QWidget>

class QStatusBar;
class QWebEnginePage;

namespace platform {

class QtWebView;

class PopupWindow : public QWidget {
    Q_OBJECT
public:
    // owner: the window whose page asked for this one; the popup closes with it.
    PopupWindow(const WebViewServices& services, QWidget* owner);

    QWebEnginePage* Page() const;
    QtWebView& View() const { return *ViewShown; }

private:
    QtWebView* ViewShown;
    QStatusBar* Status;
};

} // namespace platform
