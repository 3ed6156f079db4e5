#pragma once
// A window of its own for a page opened by another (a link with a target, window.open) or by
// the page menu's "open in a new window": a view and a status line, captioned with the page's
// title. It lives until closed, by the user or by the page (window.close()).

#include "platform/web/WebKitView.h"

#include <memory>

typedef struct _WebKitWebView WebKitWebView;

namespace platform {

class PopupWindow {
public:
    // Opens a window whose page is related to opener (the page keeps window.opener; nullptr:
    // a page of its own). Shown at once, or when the page is ready to show. Returns its page.
    static WebKitWebView* Open(const WebViewServices& services, WebKitWebView* opener,
                               bool showNow);
    PopupWindow(const PopupWindow&) = delete;
    PopupWindow& operator=(const PopupWindow&) = delete;
    ~PopupWindow();

    GtkWidget* Window() const { return WindowShown; }
    // The windows open now, the oldest first.
    static std::vector<PopupWindow*> All();

private:
    PopupWindow(const WebViewServices& services, WebKitWebView* opener);
    void ReadyToShow();
    void UpdateCaption();

    GtkWidget* WindowShown = nullptr;
    GtkWidget* Status = nullptr;
    std::unique_ptr<WebKitView> View;
    std::vector<unsigned long> Handlers;
};

} // namespace platform
