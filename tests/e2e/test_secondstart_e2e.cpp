// A second start of the real program beside a first one, on the window manager the test runs
// under (openbox, or the X window manager of a Wayland compositor that reparents its clients
// into frames and publishes no client list): the second start ends at once, brings the first
// window forward, and no second window opens.
#include "app/FindWindowLike.h"
#include "platform/x11/XcbWindowTree.h"
#include "support/Process.h"
#include "support/Wait.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

namespace {

namespace fs = std::filesystem;
using testsupport::WaitFor;

// The viewable windows of the main window's class anywhere in the tree, frames and clients
// alike: what a user would see as Orvane's windows.
int MainWindowsShown(xcb_connection_t* c, xcb_window_t window) {
    int count = 0;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (tree == nullptr)
        return 0;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        auto* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        const bool viewable =
            attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        if (!viewable)
            continue;
        auto* wmClass = xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64),
            nullptr);
        if (wmClass != nullptr) {
            const std::string value(static_cast<const char*>(xcb_get_property_value(wmClass)),
                                    xcb_get_property_value_length(wmClass));
            count += value.find(std::string("\0ThunderRT6FormDC", 17)) != std::string::npos;
        }
        std::free(wmClass);
        count += MainWindowsShown(c, children[i]);
    }
    std::free(tree);
    return count;
}

TEST(SecondStart, EndsAtOnceAndOpensNoSecondWindow) {
    const char* binary = std::getenv("ORVANE_BINARY");
    const char* library = std::getenv("ORVANE_GUI_LIBRARY");
    const char* source = std::getenv("ORVANE_SOURCE_DIR");
    ASSERT_TRUE(binary && library && source);
    // A copy of the program with a home folder of its own: its settings file stays here.
    const fs::path folder =
        fs::temp_directory_path() / ("orvane-second-" + std::to_string(getpid()));
    fs::create_directories(folder / "home");
    fs::copy_file(binary, folder / "orvane", fs::copy_options::overwrite_existing);
    fs::copy_file(library, folder / fs::path(library).filename(),
                  fs::copy_options::overwrite_existing);
    ::setenv("HOME", (folder / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder / "home/.config").c_str(), 1);
    const std::string home = "file://" + std::string(source) + "/docs/demo/index.html,";

    testsupport::Process first({(folder / "orvane").string(), home});
    platform::XcbWindowTree tree;
    ASSERT_TRUE(tree.IsConnected());
    ASSERT_TRUE(WaitFor([&] {
        return BrowserMod1::FindWindowLike(tree, 0, BrowserMod1::InstanceCaptionPattern(),
                                           BrowserMod1::InstanceClassPattern()) != 0;
    })) << "the first start's window was never found";

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // The window may carry its caption and class before it is mapped.
    ASSERT_TRUE(WaitFor([&] { return MainWindowsShown(c, root) == 1; }))
        << "the first start's window was never shown";

    testsupport::Process second({(folder / "orvane").string(), home});
    const int status = second.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << second.ReadAll();
    EXPECT_EQ(MainWindowsShown(c, root), 1);
    xcb_disconnect(c);
    first.Kill();
    first.Wait();
    fs::remove_all(folder);
}

} // namespace
