// The program's windows on a real X server: the search for an earlier instance's window, the
// class and caption other clients read, the placement and the layout of the GTK main window
// (CTest runs some suites again: on a small screen, at scale 2, without a window manager).
#include "app/FindWindowLike.h"
#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "browser/WindowIdentity.h"
#include "browser/WindowTwips.h"
#include "fakes/FakeWebView.h"
#include "platform/web/Engine.h"
#include "platform/window/GtkPlacement.h"
#include "platform/x11/XcbWindowTree.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"
#include "support/Files.h"
#include "support/GtkLoop.h"
#include "support/Rows.h"
#include "support/Wait.h"
#include "support/XDisplay.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

using namespace testsupport;

namespace {
using testsupport::operator<<;

const std::string kCaption = BrowserMod1::kAppCaption, kClass = browser::kWindowClass;

// The engine is prepared before GTK starts, as the program does; the real web view needs it.
class Environment : public testing::Environment {
public:
    void SetUp() override {
        platform::PrepareEngine();
        ASSERT_TRUE(InitGtk()) << "no X display";
    }
};
const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

// Test windows of another client: a caption (_NET_WM_NAME) and WM_CLASS; destroyed at the end.
struct OtherClient : XDisplay {
    std::vector<xcb_window_t> Made;
    ~OtherClient() {
        for (const xcb_window_t w : Made)
            xcb_destroy_window(c, w);
        Sync();
    }
    xcb_window_t Make(const std::string& caption, const std::string& className, bool mapped) {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom("_NET_WM_NAME"), Atom("UTF8_STRING"),
                            8, std::uint32_t(caption.size()), caption.data());
        const std::string wmClass = std::string("orvane") + '\0' + className + '\0';
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            std::uint32_t(wmClass.size()), wmClass.data());
        if (mapped)
            xcb_map_window(c, w);
        Made.push_back(w);
        Sync();
        return w;
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
    // Every request sent has reached the server.
    void Sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
};

std::string Repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

// Captions and class names are read as characters, not bytes, from windows never shown; such a
// window is minimized only with _NET_WM_STATE_HIDDEN.
TEST(Texts, CharactersFromWindowsNeverShown) {
    OtherClient x;
    const std::string smiley = "\xf0\x9f\x98\x80";
    const xcb_window_t classed = x.Make("Page", "Classe \xc3\xa0 part", false);
    const xcb_window_t utf8 = x.Make(Repeated(smiley, 300), kClass, false);
    platform::XcbWindowTree tree;
    EXPECT_EQ(tree.GetWindowText(utf8, 255), Repeated(smiley, 254));
    EXPECT_EQ(tree.GetClassName(classed, 9), "Classe \xc3\xa0");
    EXPECT_FALSE(tree.IsIconic(utf8));
    x.Set32(utf8, "_NET_WM_STATE", XCB_ATOM_ATOM, {x.Atom("_NET_WM_STATE_HIDDEN")});
    EXPECT_TRUE(tree.IsIconic(utf8));
}

// Of the top-level windows, the last match in the real stacking order wins, and brought forward,
// the other match is the last.
TEST(Search, LastInStackingOrderWins) {
    OtherClient x;
    const xcb_window_t lower = x.Make("Accueil - " + kCaption, kClass, true);
    const xcb_window_t upper = x.Make(kCaption, kClass, true);
    ASSERT_TRUE(!x.WindowManager() ||
                WaitFor([&] { return x.Managed(lower) && x.Managed(upper); }));
    platform::XcbWindowTree tree;
    const auto find = [&] { return BrowserMod1::FindWindowLike(tree, 0, "*" + kCaption, kClass); };
    EXPECT_EQ(find(), lower);
    ASSERT_TRUE(tree.SetForegroundWindow(lower));
    EXPECT_TRUE(WaitFor([&] { return find() == upper; }));
}

// Without a window manager, a minimized window is mapped again and gets the input.
TEST(Minimized, MappedAgainWithTheInput) {
    OtherClient x;
    if (x.WindowManager())
        GTEST_SKIP() << "under a window manager, the end-to-end test's second start activates one";
    const xcb_window_t window = x.Make("Page - " + kCaption, kClass, true);
    xcb_unmap_window(x.c, window);
    x.Set32(window, "WM_STATE", x.Atom("WM_STATE"), {3, 0});
    platform::XcbWindowTree tree;
    ASSERT_TRUE(tree.IsIconic(window));
    ASSERT_TRUE(BrowserMod1::ActivatePreviousInstance(tree));
    EXPECT_TRUE(WaitFor([&] {
        const auto focus =
            XDisplay::Own(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));
        return !tree.IsIconic(window) && focus && focus->focus == window;
    }));
}

// The main window on the fake view, with the placement the program gives it.
struct Frame {
    FakeWebView* View = nullptr;
    BrowserFrm Frm{[this](platform::WebViewEvents events) {
        auto view = std::make_unique<FakeWebView>(std::move(events));
        View = view.get();
        return view;
    }};
    std::unique_ptr<platform::PlacementWindow> Placement =
        platform::CreateGtkPlacement(Frm.Window());

    GtkWidget* Window() const { return GTK_WIDGET(Frm.Window()); }
    GdkWindow* Native() const { return gtk_widget_get_window(Window()); }
    xcb_window_t Xid() const {
        return Native() ? xcb_window_t(gdk_x11_window_get_xid(Native())) : 0;
    }
    bool Shown() const { return ServerMapped(Frm.Window()); }
    std::array<double, 4> Bounds() const {
        return {Placement->Left(), Placement->Top(), Placement->Width(), Placement->Height()};
    }
};

// The caption and class other clients read, before any page and after a navigation, and on a
// new native window.
struct CaptionRow {
    const char* name;
    std::optional<std::string> title;
    std::string caption;
};
class Caption : public testing::TestWithParam<CaptionRow> {};

TEST_P(Caption, AsOtherClientsReadIt) {
    const CaptionRow& row = GetParam();
    XDisplay x;
    Frame f;
    f.Frm.AppCaption = kCaption;
    f.Frm.UpdateCaption();
    f.Frm.Show();
    ASSERT_TRUE(WaitUntil([&] { return f.Shown(); }));
    EXPECT_TRUE(WaitUntil([&] { return x.Caption(f.Xid()) == kCaption; }));
    f.View->Title = row.title;
    f.View->Events.NavigateComplete("http://127.0.0.1/");
    EXPECT_TRUE(WaitUntil([&] { return x.Caption(f.Xid()) == row.caption; })) << x.Caption(f.Xid());
    const xcb_window_t before = f.Xid();
    gtk_widget_hide(f.Window());
    gtk_widget_unrealize(f.Window());
    f.Frm.Show();
    ASSERT_TRUE(WaitUntil([&] { return f.Shown(); }));
    EXPECT_NE(f.Xid(), before);
    EXPECT_EQ(x.Class(f.Xid()), kClass);
    EXPECT_EQ(x.Caption(f.Xid()), row.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Caption,
    testing::Values(CaptionRow{"no page yet", std::nullopt, kCaption},
                    CaptionRow{"Relevés de compte", "Relevés de compte",
                               "Relevés de compte - " + kCaption},
                    CaptionRow{"Offre [*] 2025", "Offre [*] 2025", "Offre [*] 2025 - " + kCaption},
                    CaptionRow{"[*][*]x[*]", "[*][*]x[*]", "[*][*]x[*] - " + kCaption}),
    RowName<CaptionRow>);

// With the real engine: the state the placement gives before the window shows makes the one
// native window; neither the page nor showing makes another.
TEST(NativeWindow, MadeOnce) {
    if (!WindowManagerRuns())
        GTEST_SKIP() << "maximizing needs a window manager";
    bool loaded = false;
    BrowserFrm frm([&loaded](platform::WebViewEvents events) {
        events.DocumentComplete = [&loaded, own = events.DocumentComplete](const std::string& a) {
            loaded = true;
            own(a);
        };
        return platform::CreateWebView(std::move(events));
    });
    int made = 0;
    g_signal_connect_swapped(frm.Window(), "realize", G_CALLBACK(+[](int* count) { ++*count; }),
                             &made);
    const auto placement = platform::CreateGtkPlacement(frm.Window());
    placement->SetWindowState(platform::vbMaximized);
    frm.WB->Navigate("data:text/html,<title>Accueil</title>");
    frm.Show();
    ASSERT_TRUE(WaitUntil([&] { return ServerMapped(frm.Window()) && loaded; }));
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(WaitUntil([&] { return placement->WindowState() == platform::vbMaximized; }));
    EXPECT_EQ(made, 1);
}

// Closed in the normal state, the window writes back the placement it was given, whatever frame
// the window manager puts around it.
struct PlacementRow {
    const char* name;
    std::string stored; // the settings file before the start, and after the close
};
class Placement : public testing::TestWithParam<PlacementRow> {
protected:
    void SetUp() override {
        BrowserMod1::IniFileName = dir_.FilePath("Orvane.ini");
        BrowserMod1::UserIniFileName = dir_.FilePath("config/Orvane.ini");
    }
    void TearDown() override {
        BrowserMod1::IniFileName.clear();
        BrowserMod1::UserIniFileName.clear();
    }
    TempDir dir_;
};

// Whether the window manager has drawn its frame around the window.
bool Framed(GdkWindow* native) {
    GdkRectangle frame{};
    gdk_window_get_frame_extents(native, &frame);
    return frame.width > gdk_window_get_width(native) ||
           frame.height > gdk_window_get_height(native);
}

TEST_P(Placement, WrittenBackAsGiven) {
    const PlacementRow& row = GetParam();
    ASSERT_TRUE(WriteBytes(BrowserMod1::IniFileName, row.stored));
    Frame f;
    BrowserMod1::FormPlacement("Main", *f.Placement, BrowserMod1::RestorePlacement);
    f.Frm.Show();
    ASSERT_TRUE(WaitUntil([&] { return f.Shown(); }));
    EXPECT_TRUE(!WindowManagerRuns() || WaitUntil([&] { return Framed(f.Native()); }));
    EXPECT_TRUE(WaitUntil([&] {
        return f.Bounds() == std::array{3000., 2250., 16500., 9000.};
    })) << testing::PrintToString(f.Bounds());
    BrowserMod1::FormPlacement("Main", *f.Placement, BrowserMod1::SavePlacement);
    EXPECT_EQ(ReadBytes(BrowserMod1::IniFileName), row.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Placement,
    testing::Values(PlacementRow{
        "normal", "[Main]\nWindowState=0\nLeft=3000\nTop=2250\nHeight=9000\nWidth=16500\n"}),
    RowName<PlacementRow>);

// The shown controls (buttons, progress bar, web view, status bar) that reach out of the client
// area or cover another, as "name: x,y widthxheight" pairs.
std::string Misplaced(const BrowserFrm& frm) {
    std::vector<std::pair<std::string, GdkRectangle>> shown;
    GtkWidget* window = GTK_WIDGET(frm.Window());
    const auto add = [&](const std::string& name, GtkWidget* control) {
        GdkRectangle r{0, 0, gtk_widget_get_allocated_width(control),
                       gtk_widget_get_allocated_height(control)};
        if (gtk_widget_get_mapped(control) && r.width > 1 && r.height > 1 &&
            gtk_widget_translate_coordinates(control, window, 0, 0, &r.x, &r.y))
            shown.emplace_back(name, r);
    };
    for (std::size_t i = 0; i < frm.Bouton.size(); ++i)
        add("Bouton" + std::to_string(i), frm.Bouton[i]);
    add("PBar", frm.PBar);
    add("WB", frm.WB->Widget());
    add("StatusBar", frm.StatusBar);
    GtkWidget* client = gtk_bin_get_child(GTK_BIN(window));
    const GdkRectangle area{0, 0, gtk_widget_get_allocated_width(client),
                            gtk_widget_get_allocated_height(client)};
    const auto text = [](const std::pair<std::string, GdkRectangle>& c) {
        return c.first + ": " + std::to_string(c.second.x) + "," + std::to_string(c.second.y) +
               " " + std::to_string(c.second.width) + "x" + std::to_string(c.second.height) + "; ";
    };
    std::string misplaced;
    for (std::size_t a = 0; a < shown.size(); ++a) {
        GdkRectangle in{};
        if (!gdk_rectangle_intersect(&shown[a].second, &area, &in) ||
            in.width != shown[a].second.width || in.height != shown[a].second.height)
            misplaced += "outside " + text(shown[a]);
        for (std::size_t b = a + 1; b < shown.size(); ++b)
            if (gdk_rectangle_intersect(&shown[a].second, &shown[b].second, nullptr))
                misplaced += "covers " + text(shown[a]) + text(shown[b]);
    }
    return misplaced;
}

// Under openbox, on any screen: each control inside the window, the window on the screen, no
// size hint wider than it; where the screen holds it, a normal window gets the minimum width.
struct ScreenRow {
    const char* name;
    int state;
    float storedWidth; // outer width in twips; 0 for the designed size
};
class LayoutFitsTheScreen : public testing::TestWithParam<ScreenRow> {};

TEST_P(LayoutFitsTheScreen, ControlsInsideWindowOnTheScreen) {
    const ScreenRow& row = GetParam();
    if (!WindowManagerRuns())
        GTEST_SKIP() << "maximizing needs a window manager";
    XDisplay x;
    Frame f;
    f.Placement->SetWindowState(row.state);
    if (row.storedWidth > 0)
        f.Placement->Move(0, 0, row.storedWidth, 6000);
    f.Frm.Show();
    ASSERT_TRUE(WaitUntil([&] {
        return f.Shown() && (f.Frm.FormWindowState() == platform::vbMaximized) == (row.state == 2);
    }));
    const GdkRectangle screen = browser::ScreenWorkArea(f.Frm.Window());
    const int scale = gtk_widget_get_scale_factor(f.Window());
    if (row.state == 0 &&
        screen.width * browser::TwipsPerPixel() >= browser::kMinimumOuterWidth + 600) {
        EXPECT_TRUE(WaitUntil([&] { return f.Frm.FormWidth() == browser::kMinimumOuterWidth; }))
            << f.Frm.FormWidth();
    }
    // The window settles through sizes that hold only for a moment (the design size on a small
    // screen among them): all of it must hold at once, the X server's width being GTK's.
    std::string seen;
    EXPECT_TRUE(WaitUntil([&] {
        GdkRectangle frame{};
        gdk_window_get_frame_extents(f.Native(), &frame);
        const int serverWidth = x.Bounds(f.Xid()).width;
        seen = "frame " + std::to_string(frame.x) + "+" + std::to_string(frame.width) + " on " +
               std::to_string(screen.x) + "+" + std::to_string(screen.width) + ", X server width " +
               std::to_string(serverWidth) + "; " + Misplaced(f.Frm);
        return serverWidth == gdk_window_get_width(f.Native()) * scale && frame.x >= screen.x &&
               frame.x + frame.width <= screen.x + screen.width && Misplaced(f.Frm).empty();
    })) << seen;
    EXPECT_EQ(f.Frm.Twips(f.Frm.WB->Widget()).Width, f.Frm.FormWidth() - 140);
    const auto hints = x.Cardinals(f.Xid(), "WM_NORMAL_HINTS");
    for (const auto& [flags, at] : {std::pair{8u | 2u, 3}, {16u, 5}, {32u, 7}}) // size, min, max
        EXPECT_TRUE(hints.size() <= 7 || !(hints[0] & flags) ||
                    hints[at] <= std::uint32_t(screen.width * scale))
            << "hint " << at << ": " << hints[at];
}

INSTANTIATE_TEST_SUITE_P(Rows, LayoutFitsTheScreen,
                         testing::Values(ScreenRow{"first start, maximized", 2, 0},
                                         ScreenRow{"designed size", 0, 0},
                                         ScreenRow{"stored width below the minimum", 0, 9000}),
                         RowName<ScreenRow>);

} // namespace
