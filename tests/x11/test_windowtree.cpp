// The X11 window tree under a window manager that reparents its clients into frames but
// publishes no client list: the search finds the client through its WM_STATE, as ICCCM says.
// The test plays that manager itself (its check window, its frames), so it holds with or without
// a real manager on the display; a real one's properties on the root are put back after each row.
#include "app/FindWindowLike.h"
#include "platform/x11/XcbReply.h"
#include "platform/x11/XcbWindowTree.h"

#include "support/Rows.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

using namespace BrowserMod1;
using platform::OwnReply;

namespace {
struct TreeRow {
    const char* name;
    int frames;       // windows between the client and the root
    bool clientState; // the client has WM_STATE
    const char* wm;   // "runs", "gone" (the check window names nowhere) or "none"
    std::string nameType, caption, shownCaption;
    bool clientFound;
};

// A failing row shows by its name.
using testsupport::operator<<;

class WindowTree : public testing::TestWithParam<TreeRow> {
protected:
    void SetUp() override {
        c_ = xcb_connect(nullptr, nullptr);
        ASSERT_EQ(xcb_connection_has_error(c_), 0) << "no X display";
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        for (const char* name : kRootProperties)
            saved_.push_back(Property(root_, Atom(name)));
    }
    void TearDown() override {
        if (xcb_connection_has_error(c_) == 0) {
            for (std::size_t i = 0; i < saved_.size(); ++i) {
                const auto& [type, values] = saved_[i];
                type == XCB_NONE
                    ? void(xcb_delete_property(c_, root_, Atom(kRootProperties[i])))
                    : Set(root_, Atom(kRootProperties[i]), type, 32, values.data(), values.size());
            }
            for (const xcb_window_t window : made_)
                xcb_destroy_window(c_, window);
            Sync();
        }
        xcb_disconnect(c_);
    }

    xcb_atom_t Atom(const char* name) {
        const auto length = static_cast<std::uint16_t>(std::strlen(name));
        const auto reply =
            OwnReply(xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, length, name), nullptr));
        return reply ? reply->atom : XCB_NONE;
    }
    std::pair<xcb_atom_t, std::vector<std::uint32_t>> Property(xcb_window_t w, xcb_atom_t name) {
        const auto reply = OwnReply(xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16), nullptr));
        if (!reply || reply->type == XCB_NONE || reply->format != 32)
            return {XCB_NONE, {}};
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        return {reply->type,
                {values, values + xcb_get_property_value_length(reply.get()) / sizeof(*values)}};
    }
    void Set(xcb_window_t w, xcb_atom_t name, xcb_atom_t type, std::uint8_t format,
             const void* data, std::size_t length) {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, name, type, format,
                            static_cast<std::uint32_t>(length), data);
    }
    // A window the test's manager owns: override-redirect, so that a real manager leaves it be.
    xcb_window_t Window(xcb_window_t parent) {
        const xcb_window_t window = xcb_generate_id(c_);
        const std::uint32_t overrideRedirect = 1;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
        made_.push_back(window);
        return window;
    }
    void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    static constexpr const char* kRootProperties[] = {
        "_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST", "_NET_CLIENT_LIST_STACKING"};
    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    std::vector<std::pair<xcb_atom_t, std::vector<std::uint32_t>>> saved_;
    std::vector<xcb_window_t> made_;
};

TEST_P(WindowTree, SearchFindsTheClient) {
    const TreeRow& row = GetParam();
    const xcb_atom_t check = Atom("_NET_SUPPORTING_WM_CHECK");
    xcb_delete_property(c_, root_, Atom("_NET_CLIENT_LIST"));
    xcb_delete_property(c_, root_, Atom("_NET_CLIENT_LIST_STACKING"));
    xcb_delete_property(c_, root_, check);
    if (row.wm != std::string("none")) {
        const xcb_window_t checkWindow = Window(root_);
        Set(root_, check, XCB_ATOM_WINDOW, 32, &checkWindow, 1);
        if (row.wm == std::string("runs"))
            Set(checkWindow, check, XCB_ATOM_WINDOW, 32, &checkWindow, 1);
    }
    // The frames, the outer one a child of the root, and the client reparented into the inner.
    xcb_window_t parent = root_;
    for (int i = 0; i < row.frames; ++i) {
        parent = Window(parent);
        xcb_map_window(c_, parent);
    }
    const xcb_window_t client = Window(root_);
    const std::string wmClass = std::string("orvane") + '\0' + InstanceClassPattern() + '\0';
    Set(client, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.data(), wmClass.size());
    const bool utf8 = row.nameType == "UTF8_STRING";
    Set(client, utf8 ? Atom("_NET_WM_NAME") : xcb_atom_t(XCB_ATOM_WM_NAME),
        utf8 ? Atom("UTF8_STRING") : xcb_atom_t(XCB_ATOM_STRING), 8, row.caption.data(),
        row.caption.size());
    if (row.clientState) {
        const std::uint32_t normal[] = {1, XCB_NONE};
        Set(client, Atom("WM_STATE"), Atom("WM_STATE"), 32, normal, 2);
    }
    if (parent != root_)
        xcb_reparent_window(c_, client, parent, 0, 0);
    xcb_map_window(c_, client);
    Sync(); // the tree's own connection sees all of it

    platform::XcbWindowTree tree;
    ASSERT_TRUE(tree.IsConnected());
    const platform::Hwnd found =
        FindWindowLike(tree, 0, InstanceCaptionPattern(), InstanceClassPattern());
    EXPECT_EQ(found, row.clientFound ? client : 0u);
    EXPECT_EQ(tree.GetWindowText(client, 255), row.shownCaption);
}

const std::string caption = std::string("Page - ") + kAppCaption;
INSTANTIATE_TEST_SUITE_P(
    X11, WindowTree,
    testing::Values(TreeRow{"client in a frame found by its WM_STATE", 1, true, "runs",
                            "UTF8_STRING", caption, caption, true},
                    TreeRow{"client two frames deep", 2, true, "runs", "UTF8_STRING", caption,
                            caption, true},
                    TreeRow{"Windows-1252 caption of a framed client", 1, true, "runs", "STRING",
                            "Caf\xE9 - " + std::string(kAppCaption),
                            "Café - " + std::string(kAppCaption), true},
                    TreeRow{"framed window without WM_STATE is no client", 1, false, "runs",
                            "UTF8_STRING", caption, caption, false},
                    TreeRow{"manager gone: frames not read through", 1, true, "gone", "UTF8_STRING",
                            caption, caption, false},
                    TreeRow{"no manager: a top-level window is itself", 0, false, "none",
                            "UTF8_STRING", caption, caption, true}),
    testsupport::RowName<TreeRow>);

} // namespace
