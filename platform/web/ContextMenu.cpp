#include "platform/web/ContextMenu.h"

#include "platform/web/Address.h"
#include "platform/web/PopupWindow.h"
#include "platform/web/WebKitView.h"

#include <string>
#include <vector>

namespace platform {

namespace {

bool LeftOut(WebKitContextMenuAction action) {
    switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_IMAGE_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_FRAME_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_VIDEO_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_AUDIO_IN_NEW_WINDOW:
        return true;
    default:
        return false;
    }
}

void OpenLink(WebKitWebView* page, const std::string& link) {
    WebKitView* view = WebKitView::Of(page);
    if (view == nullptr) {
        return;
    }
    if (!IsEngineScheme(SchemeOf(link))) {
        if (view->Services().OpenOutside) {
            view->Services().OpenOutside(link);
        }
        return;
    }
    const std::string scheme = SchemeOf(link);
    if (scheme != "http" && scheme != "https") {
        return; // file:, data: and the engine's own pages are not opened on the page's behalf
    }
    WebKitWebView* opened = PopupWindow::Open(view->Services(), nullptr, /*showNow=*/true);
    webkit_web_view_load_uri(opened, link.c_str());
}

} // namespace

void AdjustContextMenu(WebKitView& view, WebKitContextMenu* menu, WebKitHitTestResult* hit) {
    std::vector<WebKitContextMenuItem*> items;
    for (GList* item = webkit_context_menu_get_items(menu); item != nullptr; item = item->next) {
        items.push_back(WEBKIT_CONTEXT_MENU_ITEM(item->data));
    }
    for (WebKitContextMenuItem* item : items) {
        const WebKitContextMenuAction action = webkit_context_menu_item_get_stock_action(item);
        if (LeftOut(action)) {
            webkit_context_menu_remove(menu, item);
            continue;
        }
        if (action != WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW) {
            continue;
        }
        const char* uri = webkit_hit_test_result_get_link_uri(hit);
        const gint position = g_list_index(webkit_context_menu_get_items(menu), item);
        // The engine's own label, French from its catalogue.
        const std::string label = g_dgettext("WebKitGTK-4.1", "Open Link in New _Window");
        GSimpleAction* open = g_simple_action_new("orvane-open-link-in-new-window", nullptr);
        struct Target {
            GObjectPtr<WebKitWebView> Page;
            std::string Link;
        };
        auto* target = new Target{Ref(view.Page()), uri != nullptr ? uri : ""};
        g_signal_connect_data(
            open, "activate", G_CALLBACK(+[](GSimpleAction*, GVariant*, gpointer data) {
                auto* held = static_cast<Target*>(data);
                OpenLink(held->Page.get(), held->Link);
            }),
            target, +[](gpointer data, GClosure*) { delete static_cast<Target*>(data); },
            GConnectFlags(0));
        WebKitContextMenuItem* replacement =
            webkit_context_menu_item_new_from_gaction(G_ACTION(open), label.c_str(), nullptr);
        g_object_unref(open);
        webkit_context_menu_remove(menu, item);
        webkit_context_menu_insert(menu, replacement, position);
    }
}

} // namespace platform
