// The search for an earlier instance's window on a real X server (CTest runs it with openbox and
// without a manager): the stacking order, a minimized window brought back, texts read as
// characters; and under a manager that frames its clients but publishes no client list, which
// the test plays itself (its root properties put back after each row), the client found by its
// WM_STATE, as ICCCM says.
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

// Test windows with a caption and WM_CLASS, destroyed at the end; override-redirect ones are the
// test's own manager's, which a real manager leaves be.
struct Client : XDisplay {
    std::vector<xcb_window_t> Made;
    ~Client() {
        for (const xcb_window_t w : Made)
            xcb_destroy_window(c, w);
        Sync();
    }
    xcb_window_t Make(xcb_window_t parent, bool overrideRedirect = false) {
        const xcb_window_t w = xcb_generate_id(c);
        const std::uint32_t value = overrideRedirect;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &value);
        Made.push_back(w);
        return w;
    }
    xcb_window_t Make(const std::string& caption, const std::string& className, bool mapped,
                      bool overrideRedirect = false, const char* nameType = "UTF8_STRING") {
        const xcb_window_t w = Make(root, overrideRedirect);
        const bool utf8 = nameType == std::string("UTF8_STRING");
        Set(w, utf8 ? Atom("_NET_WM_NAME") : xcb_atom_t(XCB_ATOM_WM_NAME), Atom(nameType), caption);
        Set(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
            "orvane" + std::string(1, '\0') + className + '\0');
        if (mapped)
            xcb_map_window(c, w);
        Sync();
        return w;
    }
    void Set(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const std::string& bytes) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                            std::uint32_t(bytes.size()), bytes.data());
    }
    void Set32(xcb_window_t w, const char* property, xcb_atom_t type,
               std::vector<std::uint32_t> values) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(property), type, 32,
                            std::uint32_t(values.size()), values.data());
        Sync();
    }
    bool Managed(xcb_window_t w) {
        const auto clients = Cardinals(root, "_NET_CLIENT_LIST");
        return std::find(clients.begin(), clients.end(), w) != clients.end();
    }
    void Sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
};

// Captions and class names are read as characters, not bytes, from windows never shown; such a
// window is minimized only with _NET_WM_STATE_HIDDEN.
TEST(Texts, CharactersFromWindowsNeverShown) {
    Client x;
    std::string smileys;
    for (int i = 0; i < 300; ++i)
        smileys += "\xf0\x9f\x98\x80";
    const xcb_window_t classed = x.Make("Page", "Classe \xc3\xa0 part", false);
    const xcb_window_t utf8 = x.Make(smileys, kClass, false);
    platform::XcbWindowTree tree;
    EXPECT_EQ(tree.GetWindowText(utf8, 255), smileys.substr(0, 254 * 4));
    EXPECT_EQ(tree.GetClassName(classed, 9), "Classe \xc3\xa0");
    EXPECT_FALSE(tree.IsIconic(utf8));
    x.Set32(utf8, "_NET_WM_STATE", XCB_ATOM_ATOM, {x.Atom("_NET_WM_STATE_HIDDEN")});
    EXPECT_TRUE(tree.IsIconic(utf8));
}

// Of the top-level windows, the last match in the real stacking order wins, and brought forward,
// the other match is the last.
TEST(Search, LastInStackingOrderWins) {
    Client x;
    const xcb_window_t lower = x.Make("Accueil - " + kCaption, kClass, true);
    const xcb_window_t upper = x.Make(kCaption, kClass, true);
    ASSERT_TRUE(!x.WindowManager() ||
                WaitFor([&] { return x.Managed(lower) && x.Managed(upper); }));
    platform::XcbWindowTree tree;
    const auto find = [&] { return FindWindowLike(tree, 0, "*" + kCaption, kClass); };
    EXPECT_EQ(find(), lower);
    ASSERT_TRUE(tree.SetForegroundWindow(lower));
    EXPECT_TRUE(WaitFor([&] { return find() == upper; }));
}

// Without a window manager, a minimized window is mapped again and gets the input.
TEST(Minimized, MappedAgainWithTheInput) {
    Client x;
    if (x.WindowManager())
        GTEST_SKIP() << "under a window manager, the end-to-end test's second start activates one";
    const xcb_window_t window = x.Make("Page - " + kCaption, kClass, true);
    xcb_unmap_window(x.c, window);
    x.Set32(window, "WM_STATE", x.Atom("WM_STATE"), {3, 0});
    platform::XcbWindowTree tree;
    ASSERT_TRUE(tree.IsIconic(window));
    ASSERT_TRUE(ActivatePreviousInstance(tree));
    EXPECT_TRUE(WaitFor([&] {
        const auto focus =
            XDisplay::Own(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));
        return !tree.IsIconic(window) && focus && focus->focus == window;
    }));
}

struct TreeRow {
    const char* name;
    int frames;       // windows between the client and the root
    bool clientState; // the client has WM_STATE
    const char* wm;   // "runs", "gone" (the check window names nowhere) or "none"
    const char* nameType;
    std::string caption, shownCaption;
    bool clientFound;
};

class WindowTree : public testing::TestWithParam<TreeRow> {
protected:
    void SetUp() override {
        ASSERT_EQ(xcb_connection_has_error(x.c), 0) << "no X display";
        for (const char* name : kRootProperties)
            saved_.push_back(x.Cardinals(x.root, name));
    }
    void TearDown() override { // the real manager's lists, all of windows
        for (std::size_t i = 0; i < saved_.size(); ++i)
            saved_[i].empty() ? void(xcb_delete_property(x.c, x.root, x.Atom(kRootProperties[i])))
                              : x.Set32(x.root, kRootProperties[i], XCB_ATOM_WINDOW, saved_[i]);
    }
    static constexpr const char* kRootProperties[] = {
        "_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST", "_NET_CLIENT_LIST_STACKING"};
    Client x;
    std::vector<std::vector<std::uint32_t>> saved_;
};

TEST_P(WindowTree, SearchFindsTheClient) {
    const TreeRow& row = GetParam();
    for (const char* name : kRootProperties)
        xcb_delete_property(x.c, x.root, x.Atom(name));
    if (row.wm != std::string("none")) {
        const xcb_window_t check = x.Make(x.root, true);
        x.Set32(x.root, kRootProperties[0], XCB_ATOM_WINDOW, {check});
        if (row.wm == std::string("runs"))
            x.Set32(check, kRootProperties[0], XCB_ATOM_WINDOW, {check});
    }
    // The frames, the outer one a child of the root, and the client reparented into the inner.
    xcb_window_t parent = x.root;
    for (int i = 0; i < row.frames; ++i)
        xcb_map_window(x.c, parent = x.Make(parent, true));
    const xcb_window_t client = x.Make(row.caption, kClass, false, true, row.nameType);
    if (row.clientState)
        x.Set32(client, "WM_STATE", x.Atom("WM_STATE"), {1, XCB_NONE});
    if (parent != x.root)
        xcb_reparent_window(x.c, client, parent, 0, 0);
    xcb_map_window(x.c, client);
    x.Sync(); // the tree's own connection sees all of it
    platform::XcbWindowTree tree;
    ASSERT_TRUE(tree.IsConnected());
    EXPECT_EQ(FindWindowLike(tree, 0, InstanceCaptionPattern(), kClass),
              row.clientFound ? client : 0u);
    EXPECT_EQ(tree.GetWindowText(client, 255), row.shownCaption);
}

const std::string caption = "Page - " + kCaption;
INSTANTIATE_TEST_SUITE_P(
    X11, WindowTree,
    testing::Values(TreeRow{"client in a frame found by its WM_STATE", 1, true, "runs",
                            "UTF8_STRING", caption, caption, true},
                    TreeRow{"client two frames deep", 2, true, "runs", "UTF8_STRING", caption,
                            caption, true},
                    TreeRow{"Windows-1252 caption of a framed client", 1, true, "runs", "STRING",
                            "Caf\xE9 - " + kCaption, "Café - " + kCaption, true},
                    TreeRow{"framed window without WM_STATE is no client", 1, false, "runs",
                            "UTF8_STRING", caption, caption, false},
                    TreeRow{"manager gone: frames not read through", 1, true, "gone", "UTF8_STRING",
                            caption, caption, false},
                    TreeRow{"no manager: a top-level window is itself", 0, false, "none",
                            "UTF8_STRING", caption, caption, true}),
    RowName<TreeRow>);

} // namespace
