// The search for an earlier instance's window on a real X server (CTest runs it with openbox and
// without a manager): the stacking order; and under a manager the test plays itself, one that
// frames its clients but publishes no client list among them, the client found by its WM_STATE
// as ICCCM says, its caption read as characters, and a minimized one mapped again with the input.
#include "app/FindWindowLike.h"
#include "platform/x11/XcbWindowTree.h"
#include "support/Rows.h"
#include "support/XDisplay.h"

#include <string>
#include <vector>

using namespace BrowserMod1;
using namespace testsupport;

namespace {
using testsupport::operator<<;

const std::string kCaption = kAppCaption, kClass = InstanceClassPattern();

// The test's X client: windows of the program's class, and properties set on windows.
struct Client : XDisplay {
    // A top-level window of the program's class with that caption, not mapped.
    xcb_window_t Make(const std::string& caption, bool overrideRedirect = false,
                      const std::string& nameType = "UTF8_STRING") {
        const xcb_window_t w = Window(root, overrideRedirect);
        Set(w, nameType == "STRING" ? xcb_atom_t(XCB_ATOM_WM_NAME) : Atom("_NET_WM_NAME"),
            Atom(nameType.c_str()), caption);
        Set(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "orvane" + std::string(1, '\0') + kClass + '\0');
        return w;
    }
    // A property of 8-bit (a string) or 32-bit values.
    template <class Values>
    void Set(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const Values& values) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8 * sizeof(values[0]),
                            std::uint32_t(values.size()), values.data());
        Sync();
    }
};

// Of the top-level windows, the last match in the real stacking order wins, and brought forward,
// the other match is the last.
TEST(Search, LastInStackingOrderWins) {
    Client x;
    const xcb_window_t lower = x.Make("Accueil - " + kCaption), upper = x.Make(kCaption);
    xcb_map_window(x.c, lower), xcb_map_window(x.c, upper);
    // Both managed, under a manager: no other client runs here.
    ASSERT_TRUE(x.WindowManager() == "none" ||
                WaitFor([&] { return x.Cardinals(x.root, "_NET_CLIENT_LIST").size() == 2; }));
    platform::XcbWindowTree tree;
    const auto find = [&] { return FindWindowLike(tree, 0, "*" + kCaption, kClass); };
    EXPECT_EQ(find(), lower);
    ASSERT_TRUE(tree.SetForegroundWindow(lower));
    EXPECT_TRUE(WaitFor([&] { return find() == upper; }));
}

struct TreeRow {
    const char* name;
    int frames;        // windows between the client and the root
    std::string state; // the client's: "normal" or "iconic" (its WM_STATE), "hidden"
                       // (_NET_WM_STATE_HIDDEN), "" (none), "unmapped" (none, never shown)
    std::string wm;    // "runs", "gone" (the check window names nowhere) or "none"
    bool clientFound;
    std::string caption = "Page - " + kCaption, shownCaption = caption;
    std::string nameType = "UTF8_STRING";
    int buffer = 255; // the caption's, in characters
};

// The rows play the window manager on a server without one (CTest's second run), and leave the
// root as they found it.
class WindowTree : public testing::TestWithParam<TreeRow> {
protected:
    void SetUp() override {
        ASSERT_EQ(xcb_connection_has_error(x.c), 0) << "no X display";
        if (x.WindowManager() != "none")
            GTEST_SKIP() << x.WindowManager() << " runs";
    }
    void TearDown() override {
        if (!IsSkipped())
            xcb_delete_property(x.c, x.root, x.Atom(kCheck));
    }
    static constexpr char kCheck[] = "_NET_SUPPORTING_WM_CHECK"; // the one root property set
    Client x;
};

TEST_P(WindowTree, SearchFindsTheClient) {
    const TreeRow& row = GetParam();
    if (row.wm != "none") {
        const xcb_window_t check = x.Window(x.root, true);
        x.Set(x.root, x.Atom(kCheck), XCB_ATOM_WINDOW, std::vector{check});
        if (row.wm == "runs")
            x.Set(check, x.Atom(kCheck), XCB_ATOM_WINDOW, std::vector{check});
    }
    // The frames, the outer one a child of the root, and the client reparented into the inner.
    xcb_window_t parent = x.root;
    for (int i = 0; i < row.frames; ++i)
        xcb_map_window(x.c, parent = x.Window(parent, true));
    const xcb_window_t client = x.Make(row.caption, true, row.nameType);
    if (row.state == "normal" || row.state == "iconic")
        x.Set(client, x.Atom("WM_STATE"), x.Atom("WM_STATE"),
              std::vector<std::uint32_t>{row.state == "normal" ? 1u : 3u, XCB_NONE});
    if (row.state == "hidden")
        x.Set(client, x.Atom("_NET_WM_STATE"), XCB_ATOM_ATOM,
              std::vector{x.Atom("_NET_WM_STATE_HIDDEN")});
    if (parent != x.root)
        xcb_reparent_window(x.c, client, parent, 0, 0);
    const bool minimized = row.state == "iconic" || row.state == "hidden";
    if (row.state == "" || row.state == "normal")
        xcb_map_window(x.c, client);
    x.Sync(); // the tree's own connection sees all of it
    platform::XcbWindowTree tree;
    ASSERT_TRUE(tree.IsConnected());
    EXPECT_EQ(FindWindowLike(tree, 0, InstanceCaptionPattern(), kClass),
              row.clientFound ? client : 0u);
    EXPECT_EQ(tree.GetWindowText(client, row.buffer), row.shownCaption);
    EXPECT_EQ(tree.IsIconic(client), minimized);
    if (minimized) {
        ASSERT_TRUE(ActivatePreviousInstance(tree));
        EXPECT_TRUE(WaitFor([&] { return !tree.IsIconic(client) && x.Focus() == client; }));
    }
}

INSTANTIATE_TEST_SUITE_P(
    X11, WindowTree,
    testing::Values(
        TreeRow{"client in a frame found by its WM_STATE", 1, "normal", "runs", true},
        TreeRow{"client two frames deep", 2, "normal", "runs", true},
        TreeRow{"Windows-1252 caption of a framed client", 1, "normal", "runs", true,
                "Caf\xE9 - " + kCaption, "Café - " + kCaption, "STRING"},
        TreeRow{"framed window without WM_STATE is no client", 1, "", "runs", false},
        TreeRow{"manager gone: frames not read through", 1, "normal", "gone", false},
        TreeRow{"no manager: a top-level window is itself", 0, "", "none", true},
        TreeRow{"caption of a window never shown read as 254 characters", 0, "unmapped", "none",
                false, std::string(253, 'a') + "éé", std::string(253, 'a') + "é"},
        TreeRow{"caption past what the search reads of it read whole when asked", 0, "", "none",
                false, std::string(6000, 'a'), std::string(4999, 'a'), "UTF8_STRING", 5000},
        TreeRow{"no manager: minimized, mapped again with the input", 0, "iconic", "none", true},
        TreeRow{"no manager: hidden, mapped again with the input", 0, "hidden", "none", true}),
    RowName<TreeRow>);

} // namespace
