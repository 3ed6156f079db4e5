#include "platform/web/PopupWindow.h"

#include "platform/StatusText.h"

#include <webkit2/webkit2.h>

#include <algorithm>

namespace platform {

namespace {

std::vector<PopupWindow*>& Windows() {
    static std::vector<PopupWindow*> windows;
    return windows;
}

} // namespace

std::vector<PopupWindow*> PopupWindow::All() {
    return Windows();
}

WebKitWebView* PopupWindow::Open(const WebViewServices& services, WebKitWebView* opener,
                                 bool showNow) {
    auto* popup = new PopupWindow(services, opener);
    if (showNow) {
        gtk_widget_show(popup->WindowShown);
    }
    return popup->View->Page();
}

PopupWindow::PopupWindow(const WebViewServices& services, WebKitWebView* opener) {
    WindowShown = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(WindowShown), "Nouvelle fenêtre");
    gtk_window_set_default_size(GTK_WINDOW(WindowShown), 800, 600);
    Status = gtk_label_new("");
    gtk_label_set_ellipsize(GTK_LABEL(Status), PANGO_ELLIPSIZE_END);
    gtk_label_set_xalign(GTK_LABEL(Status), 0);
    gtk_label_set_single_line_mode(GTK_LABEL(Status), TRUE);

    WebViewEvents events;
    events.StatusTextChange = [this](const std::string& text) {
        gtk_label_set_text(GTK_LABEL(Status), ShownStatusText(text).c_str());
    };
    events.NavigateComplete = [this](const std::string&) { UpdateCaption(); };
    View = std::make_unique<WebKitView>(std::move(events), services, opener);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_pack_start(GTK_BOX(box), View->Widget(), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), Status, FALSE, FALSE, 2);
    gtk_container_add(GTK_CONTAINER(WindowShown), box);
    gtk_widget_show_all(box);

    WebKitWebView* page = View->Page();
    Handlers.push_back(g_signal_connect(page, "ready-to-show",
                                        G_CALLBACK(+[](WebKitWebView*, gpointer self) {
                                            static_cast<PopupWindow*>(self)->ReadyToShow();
                                        }),
                                        this));
    Handlers.push_back(g_signal_connect(
        page, "close", G_CALLBACK(+[](WebKitWebView*, gpointer self) {
            // Not within the page's own signal: once it
            // has returned.
            g_idle_add_full(
                G_PRIORITY_DEFAULT,
                +[](gpointer window) {
                    gtk_widget_destroy(GTK_WIDGET(window));
                    return G_SOURCE_REMOVE;
                },
                g_object_ref(static_cast<PopupWindow*>(self)->WindowShown), g_object_unref);
        }),
        this));
    Handlers.push_back(g_signal_connect(page, "notify::title",
                                        G_CALLBACK(+[](WebKitWebView*, GParamSpec*, gpointer self) {
                                            static_cast<PopupWindow*>(self)->UpdateCaption();
                                        }),
                                        this));
    // The window goes with its widgets: the view first, while the window still stands.
    g_signal_connect(WindowShown, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                         delete static_cast<PopupWindow*>(self);
                     }),
                     this);
    Windows().push_back(this);
}

PopupWindow::~PopupWindow() {
    auto& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
    for (const unsigned long handler : Handlers) {
        g_signal_handler_disconnect(View->Page(), handler);
    }
    View.reset();
}

void PopupWindow::ReadyToShow() {
    // The page asks for the size of its own area; the status line comes below it.
    GdkRectangle geometry{};
    webkit_window_properties_get_geometry(webkit_web_view_get_window_properties(View->Page()),
                                          &geometry);
    if (geometry.width > 0 && geometry.height > 0) {
        int statusHeight = 0;
        gtk_widget_get_preferred_height(Status, nullptr, &statusHeight);
        gtk_window_resize(GTK_WINDOW(WindowShown), geometry.width,
                          geometry.height + statusHeight + 4);
    }
    if (geometry.x != 0 || geometry.y != 0) {
        gtk_window_move(GTK_WINDOW(WindowShown), geometry.x, geometry.y);
    }
    gtk_widget_show(WindowShown);
}

void PopupWindow::UpdateCaption() {
    std::string caption = CaptionText(View->DocumentTitle().value_or(""), kCaptionMax);
    if (caption.empty()) {
        const char* uri = webkit_web_view_get_uri(View->Page());
        caption = CaptionText(uri != nullptr ? uri : "", kCaptionMax);
    }
    if (!caption.empty()) {
        gtk_window_set_title(GTK_WINDOW(WindowShown), caption.c_str());
    }
}

} // namespace platform
