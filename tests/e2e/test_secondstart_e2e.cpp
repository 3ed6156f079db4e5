// A second start beside a first one, under openbox and under the X window manager of a Wayland
// compositor (frames its clients, publishes no client list): it ends well, no second window.
#include "support/ProgramRun.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

// The viewable windows of the main window's class anywhere in the tree, frames and clients
// alike: what a user would see as Orvane's windows.
int MainWindowsShown(xcb_connection_t* c, xcb_window_t window) {
    int count = 0;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t child = xcb_query_tree_children(tree)[i];
        auto* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, child), nullptr);
        auto* wmClass = xcb_get_property_reply(
            c, xcb_get_property(c, 0, child, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64), nullptr);
        if (attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
            const std::string value(
                wmClass ? static_cast<const char*>(xcb_get_property_value(wmClass)) : "",
                wmClass ? xcb_get_property_value_length(wmClass) : 0);
            count += value.find(std::string("\0ThunderRT6FormDC", 17)) != std::string::npos;
            count += MainWindowsShown(c, child);
        }
        std::free(attributes), std::free(wmClass);
    }
    std::free(tree);
    return count;
}

TEST(SecondStart, EndsAtOnceAndOpensNoSecondWindow) {
    const std::string home =
        "file://" + std::string(std::getenv("ORVANE_SOURCE_DIR")) + "/docs/demo/index.html,";
    testsupport::ProgramRun run;
    run.Start(home);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    ASSERT_TRUE(testsupport::WaitFor([&] { return MainWindowsShown(c, root) == 1; }))
        << "the first start's window was never shown";
    EXPECT_EQ(run.Finished(run.Start(home)), 0);
    EXPECT_EQ(MainWindowsShown(c, root), 1);
    xcb_disconnect(c);
}

} // namespace
