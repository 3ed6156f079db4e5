#include "platform/web/WebKitView.h"

#include "platform/StatusText.h"
#include "platform/web/Address.h"
#include "platform/web/Authentication.h"
#include "platform/web/ContextMenu.h"
#include "platform/web/ErrorPage.h"
#include "platform/web/PagePolicy.h"
#include "platform/web/PopupWindow.h"
#include "platform/web/PrintSave.h"
#include "platform/web/StoppedNotice.h"
#include "platform/web/WebContext.h"

#include <webkit2/webkit2.h>

#include <cstring>

namespace platform {

namespace {

constexpr char kViewKey[] = "orvane-view";
constexpr std::int64_t kPagePrintQuietUs = 2'000'000;

std::string PageUri(WebKitWebView* page) {
    const char* uri = webkit_web_view_get_uri(page);
    return uri != nullptr ? uri : "";
}

} // namespace

WebKitView::WebKitView(WebViewEvents events, WebViewServices services, WebKitWebView* related)
    : Events(std::move(events)), ServicesUsed(std::move(services)) {
    if (related != nullptr) {
        View = WEBKIT_WEB_VIEW(webkit_web_view_new_with_related_view(related));
    } else {
        View = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(),
                                            "settings", SharedWebSettings(), nullptr));
    }
    g_object_set_data(G_OBJECT(View), kViewKey, this);
    Frame = gtk_overlay_new();
    g_object_ref_sink(Frame);
    gtk_container_add(GTK_CONTAINER(Frame), GTK_WIDGET(View));
    Notice = MakeStoppedNotice([this] { Refresh(); });
    gtk_overlay_add_overlay(GTK_OVERLAY(Frame), Notice);
    gtk_widget_show(GTK_WIDGET(View));
    gtk_widget_show(Frame);
    Connect();
}

WebKitView::~WebKitView() {
    for (const unsigned long handler : Handlers) {
        g_signal_handler_disconnect(View, handler);
    }
    WebKitFindController* find = webkit_web_view_get_find_controller(View);
    for (const unsigned long handler : FindHandlers) {
        g_signal_handler_disconnect(find, handler);
    }
    // Downloads and dialogs still holding the page find no view from now on.
    g_object_set_data(G_OBJECT(View), kViewKey, nullptr);
    gtk_widget_destroy(Frame);
    g_object_unref(Frame);
}

WebKitView* WebKitView::Of(WebKitWebView* page) {
    return page != nullptr ? static_cast<WebKitView*>(g_object_get_data(G_OBJECT(page), kViewKey))
                           : nullptr;
}

void WebKitView::Connect() {
    const auto on = [this](const char* signal, GCallback callback) {
        Handlers.push_back(g_signal_connect(View, signal, callback, this));
    };
    on("load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer self) {
           auto* view = static_cast<WebKitView*>(self);
           switch (event) {
           case WEBKIT_LOAD_STARTED:
               view->LoadStarted();
               break;
           case WEBKIT_LOAD_COMMITTED:
               view->LoadCommitted();
               break;
           case WEBKIT_LOAD_FINISHED:
               view->LoadFinished();
               break;
           default:
               break;
           }
       }));
    on("load-failed",
       G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer self) {
           auto* view = static_cast<WebKitView*>(self);
           view->LoadFailed = true;
           view->FailedByPolicy =
               g_error_matches(error, WEBKIT_POLICY_ERROR,
                               WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
               g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED);
           return FALSE; // the engine shows its own (French) error page
       }));
    on("load-failed-with-tls-errors",
       G_CALLBACK(+[](WebKitWebView* page, gchar* uri, GTlsCertificate*, GTlsCertificateFlags flags,
                      gpointer self) {
           // Never accepted: the page is replaced by a French explanation.
           static_cast<WebKitView*>(self)->LoadFailed = true;
           const std::string address = uri != nullptr ? uri : "";
           webkit_web_view_load_alternate_html(page, TlsErrorPage(address, flags).c_str(),
                                               address.c_str(), nullptr);
           return TRUE;
       }));
    on("notify::estimated-load-progress",
       G_CALLBACK(+[](WebKitWebView* page, GParamSpec*, gpointer self) {
           auto* view = static_cast<WebKitView*>(self);
           const double progress = webkit_web_view_get_estimated_load_progress(page);
           if (view->Loading && view->Events.ProgressChange) {
               view->Events.ProgressChange(static_cast<int>(progress * 100.0 + 0.5), 100);
           }
       }));
    on("notify::title", G_CALLBACK(+[](WebKitWebView*, GParamSpec*, gpointer self) {
           static_cast<WebKitView*>(self)->ReadTitle();
       }));
    on("mouse-target-changed",
       G_CALLBACK(+[](WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer self) {
           const bool link = webkit_hit_test_result_context_is_link(hit);
           const char* uri = link ? webkit_hit_test_result_get_link_uri(hit) : nullptr;
           static_cast<WebKitView*>(self)->HoverChanged(link, uri != nullptr ? uri : "");
       }));
    on("create", G_CALLBACK(+[](WebKitWebView*, WebKitNavigationAction*, gpointer self) {
           return static_cast<WebKitView*>(self)->OpenWindow();
       }));
    on("decide-policy", G_CALLBACK(+[](WebKitWebView*, WebKitPolicyDecision* decision,
                                       WebKitPolicyDecisionType type, gpointer self) {
           return DecidePolicy(*static_cast<WebKitView*>(self), decision, type);
       }));
    on("authenticate",
       G_CALLBACK(+[](WebKitWebView* page, WebKitAuthenticationRequest* request, gpointer) {
           Authenticate(page, request);
           return TRUE;
       }));
    on("print", G_CALLBACK(+[](WebKitWebView*, WebKitPrintOperation* operation, gpointer self) {
           static_cast<WebKitView*>(self)->PagePrintRequested(operation);
           return TRUE;
       }));
    on("web-process-terminated",
       G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self) {
           static_cast<WebKitView*>(self)->ProcessGone();
       }));
    on("enter-fullscreen", G_CALLBACK(+[](WebKitWebView*, gpointer self) {
           auto* view = static_cast<WebKitView*>(self);
           if (view->Events.FullScreenRequested) {
               view->Events.FullScreenRequested(true);
           }
           return FALSE;
       }));
    on("leave-fullscreen", G_CALLBACK(+[](WebKitWebView*, gpointer self) {
           auto* view = static_cast<WebKitView*>(self);
           if (view->Events.FullScreenRequested) {
               view->Events.FullScreenRequested(false);
           }
           return FALSE;
       }));
    on("context-menu", G_CALLBACK(+[](WebKitWebView*, WebKitContextMenu* menu, GdkEvent*,
                                      WebKitHitTestResult* hit, gpointer self) {
           AdjustContextMenu(*static_cast<WebKitView*>(self), menu, hit);
           return FALSE;
       }));

    WebKitFindController* find = webkit_web_view_get_find_controller(View);
    FindHandlers.push_back(g_signal_connect(
        find, "found-text", G_CALLBACK(+[](WebKitFindController*, guint count, gpointer self) {
            static_cast<WebKitView*>(self)->FindAnswered(static_cast<int>(count), false);
        }),
        this));
    FindHandlers.push_back(g_signal_connect(
        find, "failed-to-find-text", G_CALLBACK(+[](WebKitFindController*, gpointer self) {
            static_cast<WebKitView*>(self)->FindAnswered(0, false);
        }),
        this));
    FindHandlers.push_back(g_signal_connect(
        find, "counted-matches", G_CALLBACK(+[](WebKitFindController*, guint count, gpointer self) {
            static_cast<WebKitView*>(self)->FindAnswered(static_cast<int>(count), true);
        }),
        this));
}

GtkWidget* WebKitView::Widget() {
    return Frame;
}

void WebKitView::Navigate(const std::string& address) {
    const std::string uri = AddressToUri(address);
    if (!IsEngineScheme(SchemeOf(uri))) {
        // An address asked for by the program is as deliberate as a click in the page.
        if (ServicesUsed.OpenOutside) {
            ServicesUsed.OpenOutside(uri);
        }
        return;
    }
    webkit_web_view_load_uri(View, uri.c_str());
}

void WebKitView::GoBack() {
    webkit_web_view_go_back(View);
}

void WebKitView::GoForward() {
    webkit_web_view_go_forward(View);
}

void WebKitView::Refresh() {
    // Once its process is gone the engine forgets the page's address: the one last shown is kept.
    const std::string address = ProcessIsGone ? ShownAddress : PageUri(View);
    if (address.empty()) {
        return;
    }
    if (ProcessIsGone) {
        // The engine does not reload a page whose process it ended: load the address anew.
        webkit_web_view_load_uri(View, address.c_str());
        return;
    }
    webkit_web_view_reload(View);
}

void WebKitView::Stop() {
    StopAsked = Loading;
    webkit_web_view_stop_loading(View);
}

void WebKitView::GoSearch() {
    webkit_web_view_load_uri(View, kSearchPage);
}

void WebKitView::ExecWB(int command, int /*option: the default way is the only one*/) {
    switch (command) {
    case OLECMDID_PRINT:
        PrintPage(*this, nullptr);
        break;
    case OLECMDID_PRINTPREVIEW:
        PreviewPage(*this);
        break;
    case OLECMDID_SAVEAS:
        SavePage(*this);
        break;
    default:
        break;
    }
}

std::optional<std::string> WebKitView::DocumentTitle() const {
    return Title;
}

void WebKitView::SetFocus() {
    gtk_widget_grab_focus(GTK_WIDGET(View));
}

void WebKitView::FindText(const std::string& text, bool backward, bool matchCase, FindDone done) {
    WebKitFindController* find = webkit_web_view_get_find_controller(View);
    if (text.empty()) {
        webkit_find_controller_search_finish(find);
        FindTextShown.clear();
        FindWaiting = nullptr;
        if (done) {
            done(0, 0);
        }
        return;
    }
    guint32 options = WEBKIT_FIND_OPTIONS_WRAP_AROUND;
    if (!matchCase) {
        options |= WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE;
    }
    if (backward) {
        options |= WEBKIT_FIND_OPTIONS_BACKWARDS;
    }
    const bool again = text == FindTextShown && matchCase == FindMatchCase && FindCount > 0;
    FindWaiting = std::move(done);
    FindFound = -1;
    if (again) {
        FindActive = backward ? (FindActive <= 1 ? FindCount : FindActive - 1)
                              : (FindActive >= FindCount ? 1 : FindActive + 1);
        FindCount = -1;
        backward ? webkit_find_controller_search_previous(find)
                 : webkit_find_controller_search_next(find);
    } else {
        webkit_find_controller_search_finish(find);
        FindTextShown = text;
        FindMatchCase = matchCase;
        FindActive = backward ? -1 : 1; // -1: the last, once counted
        FindCount = -1;
        webkit_find_controller_search(find, text.c_str(), options, G_MAXUINT);
    }
    webkit_find_controller_count_matches(find, text.c_str(), options, G_MAXUINT);
}

void WebKitView::FindAnswered(int matches, bool counted) {
    (counted ? FindCount : FindFound) = matches;
    if (FindCount < 0 || FindFound < 0) {
        return;
    }
    if (FindActive < 0 || FindActive > FindCount) {
        FindActive = FindCount;
    }
    FindDone done = std::move(FindWaiting);
    FindWaiting = nullptr;
    if (done) {
        done(FindCount == 0 ? 0 : FindActive, FindCount);
    }
}

void WebKitView::SetZoomFactor(double factor) {
    webkit_web_view_set_zoom_level(View, factor);
}

double WebKitView::ZoomFactor() const {
    return webkit_web_view_get_zoom_level(View);
}

void WebKitView::ExitFullScreen() {
    webkit_web_view_evaluate_javascript(View, "document.exitFullscreen()", -1, nullptr, nullptr,
                                        nullptr, nullptr, nullptr);
}

void WebKitView::ShowStatus(const std::string& text) {
    if (Events.StatusTextChange) {
        Events.StatusTextChange(ShownStatusText(text));
    }
}

void WebKitView::LoadStarted() {
    gtk_widget_hide(Notice);
    ProcessIsGone = false;
    Loading = true;
    StopAsked = false;
    LoadFailed = false;
    FailedByPolicy = false;
    if (Events.DownloadBegin) {
        Events.DownloadBegin();
    }
}

void WebKitView::LoadCommitted() {
    // The new document is there; its title may come later in the load, so NavigateComplete
    // waits for the load's end, where the window reads it for the caption.
    Title = std::string();
    TitleAwaited = false;
    ShownAddress = PageUri(View);
    ReadTitle();
}

void WebKitView::LoadFinished() {
    if (!Loading) {
        return; // already concluded (the page's process went away)
    }
    ReadTitle();
    RaiseLoadEnd();
    if (StopAsked) {
        ShowStatus("Chargement arrêté");
    } else if (LoadFailed && !FailedByPolicy) {
        ShowStatus("La page n'a pas pu être chargée");
    } else {
        ShowStatus(kDoneStatusText);
    }
}

void WebKitView::RaiseLoadEnd() {
    Loading = false;
    TitleAwaited = Title && Title->empty();
    const std::string address = PageUri(View);
    if (Events.NavigateComplete) {
        Events.NavigateComplete(address);
    }
    if (Events.DocumentComplete) {
        Events.DocumentComplete(address);
    }
    if (Events.DownloadComplete) {
        Events.DownloadComplete();
    }
}

// The document's own title, read as far as it is kept: a page may set a title of megabytes.
void WebKitView::ReadTitle() {
    if (!Title) {
        return; // no document yet
    }
    const char* title = webkit_web_view_get_title(View);
    if (title == nullptr) {
        Title = std::string();
        return;
    }
    const std::size_t bytes = strnlen(title, 4 * kTitleReadMax + 4);
    Title = FirstCharacters(std::string_view(title, bytes), kTitleReadMax);
    // The engine may tell the title only after the load's end: the first one then still counts
    // as the document's own. A script's later changes do not.
    if (TitleAwaited && !Loading && !Title->empty()) {
        TitleAwaited = false;
        if (Events.TitleChange) {
            Events.TitleChange();
        }
    }
}

void WebKitView::HoverChanged(bool isLink, const std::string& link) {
    if (!isLink && !HoveringLink) {
        return;
    }
    HoveringLink = isLink;
    ShowStatus(link);
}

void WebKitView::ProcessGone() {
    // Whatever the cause (crashed, killed, ended by the program): the page is gone.
    if (Loading) {
        RaiseLoadEnd();
    }
    ProcessIsGone = true;
    gtk_widget_show(Notice);
    ShowStatus(kProcessGoneText);
}

// window.print() in the page, or the print button of the PDF viewer: the print command. The
// page's script waits until the dialog is answered. After a dialog the page asked for, its
// requests are set aside until it has made none for a while: a page asking again and again
// cannot hold the window in print dialogs.
void WebKitView::PagePrintRequested(void* operation) {
    const std::int64_t now = g_get_monotonic_time();
    if (PagePrintQuietSince >= 0 && now - PagePrintQuietSince < kPagePrintQuietUs) {
        PagePrintQuietSince = now;
        return;
    }
    PrintPage(*this, static_cast<WebKitPrintOperation*>(operation));
    PagePrintQuietSince = g_get_monotonic_time();
}

GtkWidget* WebKitView::OpenWindow() {
    bool cancel = false;
    if (Events.NewWindow) {
        Events.NewWindow(cancel);
    }
    if (cancel) {
        return nullptr;
    }
    return GTK_WIDGET(PopupWindow::Open(ServicesUsed, View, /*showNow=*/false));
}

bool WebKitView::IsPrinting() const {
    return Printing;
}

void WebKitView::SetPrinting(bool printing) {
    Printing = printing;
}

std::unique_ptr<WebView> CreateWebView(WebViewEvents events, WebViewServices services) {
    return std::make_unique<WebKitView>(std::move(events), std::move(services));
}

std::unique_ptr<WebView> CreateWebView(WebViewEvents events) {
    return CreateWebView(std::move(events), DefaultServices());
}

} // namespace platform
