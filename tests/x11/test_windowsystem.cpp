// The GTK main window on a real X server under openbox: one native window on the real engine,
// and a layout that fits the screen (CTest runs it again on a small screen and at scale 2).
#include "support/Rows.h" // GoogleTest before the X11 headers, whose macros clash with its names

#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "browser/WindowTwips.h"
#include "fakes/FakeWebView.h"
#include "platform/web/Engine.h"
#include "platform/window/GtkPlacement.h"
#include "support/GtkLoop.h"
#include "support/XDisplay.h"

#include <string>
#include <vector>

using namespace testsupport;

namespace {
using testsupport::operator<<;

// The engine is prepared before GTK starts, as the program does; the real web view needs it.
class Environment : public testing::Environment {
public:
    void SetUp() override {
        platform::PrepareEngine();
        ASSERT_TRUE(InitGtk()) << "no X display";
    }
};
const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

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

xcb_window_t Xid(const FakeFrame& f) {
    return xcb_window_t(gdk_x11_window_get_xid(f.Native()));
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
    FakeFrame f;
    f.Placement->SetWindowState(row.state);
    if (row.storedWidth > 0)
        f.Placement->Move(0, 0, row.storedWidth, 6000);
    f.Frm.Show();
    ASSERT_TRUE(WaitUntil([&] {
        return ServerMapped(f.Frm.Window()) &&
               (f.Frm.FormWindowState() == platform::vbMaximized) == (row.state == 2);
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
        const int serverWidth = x.Bounds(Xid(f)).width;
        seen = "frame " + std::to_string(frame.x) + "+" + std::to_string(frame.width) + " on " +
               std::to_string(screen.x) + "+" + std::to_string(screen.width) + ", X server width " +
               std::to_string(serverWidth) + "; " + Misplaced(f.Frm);
        return serverWidth == gdk_window_get_width(f.Native()) * scale && frame.x >= screen.x &&
               frame.x + frame.width <= screen.x + screen.width && Misplaced(f.Frm).empty();
    })) << seen;
    EXPECT_EQ(f.Frm.Twips(f.Frm.WB->Widget()).Width, f.Frm.FormWidth() - 140);
    const auto hints = x.Cardinals(Xid(f), "WM_NORMAL_HINTS");
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
