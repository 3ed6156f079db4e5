// The placement of a real GTK window on X11, with openbox and without a window manager: outer
// bounds in twips read back as asked, state round trips, a window off every screen brought back,
// and the settings file's section saved and restored through FormPlacement.
#include "platform/window/GtkPlacement.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"
#include "support/Files.h"
#include "support/GtkLoop.h"
#include "support/Rows.h"

#include <array>
#include <cmath>

using namespace testsupport;
using Bounds = std::array<double, 4>; // left, top, width, height, twips

namespace {
using testsupport::operator<<;

Bounds Read(const platform::PlacementWindow& placement) {
    return {placement.Left(), placement.Top(), placement.Width(), placement.Height()};
}

// The screen of run-x11 at 96 DPI, in twips.
constexpr double kScreenWidth = 1920 * 15, kScreenHeight = 1080 * 15;

bool OnScreen(const Bounds& b) {
    return b[0] >= 0 && b[1] >= 0 && b[0] + b[2] <= kScreenWidth && b[1] + b[3] <= kScreenHeight;
}

class GtkWindowTest {
protected:
    static void Init() { ASSERT_TRUE(InitGtk()) << "no X display"; }
    // Shows the window and waits until the window manager (if any) has framed it.
    static bool Show(GtkWindow* window) {
        gtk_widget_show(GTK_WIDGET(window));
        return WaitUntil([&] { return ServerMapped(window); });
    }
};

struct BoundsRow {
    const char* name;
    bool shownFirst; // moved once shown, or before (with the design frame)
    Bounds asked;
    Bounds placed; // all zero: anywhere on the screen
};
class Placement : public ::testing::TestWithParam<BoundsRow>, protected GtkWindowTest {
protected:
    void SetUp() override { Init(); }
};

TEST_P(Placement, OuterBoundsAsAsked) {
    const BoundsRow& row = GetParam();
    TopLevel top;
    const auto placement = platform::CreateGtkPlacement(top.window);
    ASSERT_TRUE(!row.shownFirst || Show(top.window));
    placement->Move(row.asked[0], row.asked[1], row.asked[2], row.asked[3]);
    placement->DoEvents();
    ASSERT_TRUE(row.shownFirst || Show(top.window));
    if (row.placed == Bounds{}) {
        EXPECT_TRUE(WaitUntil([&] { return OnScreen(Read(*placement)); }));
    } else {
        EXPECT_TRUE(WaitUntil([&] { return Read(*placement) == row.placed; }))
            << "last read: " << testing::PrintToString(Read(*placement));
    }
}

constexpr double kNan = NAN, kInf = INFINITY;
INSTANTIATE_TEST_SUITE_P(
    Rows, Placement,
    ::testing::Values(
        BoundsRow{"shown, then placed", true, {1500, 1200, 9000, 6000}, {1500, 1200, 9000, 6000}},
        BoundsRow{"placed before shown, sized again with the real frame",
                  false,
                  {1500, 1200, 9000, 6000},
                  {1500, 1200, 9000, 6000}},
        BoundsRow{"left of every screen comes back",
                  true,
                  {-300000, 1200, 9000, 6000},
                  {0, 1200, 9000, 6000}},
        BoundsRow{"below every screen comes back before shown",
                  false,
                  {1500, 50000, 9000, 6000},
                  {1500, kScreenHeight - 6000, 9000, 6000}},
        BoundsRow{"not numbers", true, {kNan, kInf, -kInf, kNan}, {}},
        BoundsRow{"enormous", false, {-1e300, 1e300, 1e300, 1e300}, {}}),
    [](const auto& info) { return RowName(info.param.name); });

// A state asked and left again: the outer bounds are those of before.
struct StateRow {
    const char* name;
    void (*enter)(platform::PlacementWindow&, GtkWindow*);
    int state;
};
class States : public ::testing::TestWithParam<StateRow>, protected GtkWindowTest {
protected:
    void SetUp() override {
        Init();
        if (!WindowManagerRuns()) {
            GTEST_SKIP() << "states need a window manager";
        }
    }
};

TEST_P(States, RoundTrip) {
    const StateRow& row = GetParam();
    TopLevel top;
    const auto placement = platform::CreateGtkPlacement(top.window);
    const Bounds normal{3000, 1500, 7500, 4500};
    placement->Move(normal[0], normal[1], normal[2], normal[3]);
    ASSERT_TRUE(Show(top.window));
    ASSERT_TRUE(WaitUntil([&] { return Read(*placement) == normal; }));
    row.enter(*placement, top.window);
    EXPECT_TRUE(WaitUntil([&] { return placement->WindowState() == row.state; }));
    placement->SetWindowState(platform::vbNormal);
    EXPECT_TRUE(WaitUntil([&] {
        return placement->WindowState() == platform::vbNormal && Read(*placement) == normal;
    }));
    EXPECT_EQ(Read(*placement), normal);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, States,
    ::testing::Values(
        StateRow{"maximized", [](platform::PlacementWindow& p, GtkWindow*) { p.SetWindowState(2); },
                 2},
        StateRow{"minimized", [](platform::PlacementWindow& p, GtkWindow*) { p.SetWindowState(1); },
                 1},
        StateRow{"full screen counts as maximized",
                 [](platform::PlacementWindow&, GtkWindow* w) { gtk_window_fullscreen(w); }, 2}),
    [](const auto& info) { return RowName(info.param.name); });

// The section "Main" saved when a real window closes and restored for the next one.
struct StoreRow {
    const char* name;
    std::string before;   // the settings file at the first start
    bool closedMaximized; // or normal
    std::string after;    // the settings file once the first window closed
};
class Store : public ::testing::TestWithParam<StoreRow>, protected GtkWindowTest {
protected:
    void SetUp() override {
        Init();
        BrowserMod1::IniFileName = dir_.FilePath("Orvane.ini");
        BrowserMod1::UserIniFileName = dir_.FilePath("config/Orvane.ini");
    }
    TempDir dir_;
};

// One start: the placement restored on the hidden window, then the window shown.
void Start(GtkWindow* window, platform::PlacementWindow& placement) {
    BrowserMod1::FormPlacement("Main", placement, BrowserMod1::RestorePlacement);
    gtk_widget_show(GTK_WIDGET(window));
}

TEST_P(Store, NextStartAsClosed) {
    const StoreRow& row = GetParam();
    if (row.closedMaximized && !WindowManagerRuns()) {
        GTEST_SKIP() << "maximizing needs a window manager";
    }
    ASSERT_TRUE(WriteBytes(BrowserMod1::IniFileName, row.before));
    const Bounds moved{2250, 1800, 8250, 5250};
    {
        TopLevel first;
        const auto placement = platform::CreateGtkPlacement(first.window);
        Start(first.window, *placement);
        ASSERT_TRUE(WaitUntil([&] { return ServerMapped(first.window); }));
        placement->Move(moved[0], moved[1], moved[2], moved[3]);
        WaitUntil([&] { return Read(*placement) == moved; });
        ASSERT_EQ(Read(*placement), moved);
        if (row.closedMaximized) {
            placement->SetWindowState(platform::vbMaximized);
            ASSERT_TRUE(WaitUntil([&] { return placement->WindowState() == 2; }));
        }
        BrowserMod1::FormPlacement("Main", *placement, BrowserMod1::SavePlacement);
    }
    EXPECT_EQ(ReadBytes(BrowserMod1::IniFileName), row.after);
    TopLevel next;
    const auto placement = platform::CreateGtkPlacement(next.window);
    Start(next.window, *placement);
    const int state = row.closedMaximized ? platform::vbMaximized : platform::vbNormal;
    EXPECT_TRUE(WaitUntil([&] {
        return gtk_widget_get_mapped(GTK_WIDGET(next.window)) &&
               placement->WindowState() == state &&
               (state != platform::vbNormal || Read(*placement) == moved);
    }));
    EXPECT_EQ(placement->WindowState(), state);
}

std::string Main(const char* state, const char* bounds) { // bounds: left, top, height, width
    std::string file = "[Main]\nWindowState=" + std::string(state) + "\n";
    if (*bounds) {
        char lines[200];
        int left, top, height, width;
        std::sscanf(bounds, "%d %d %d %d", &left, &top, &height, &width);
        std::snprintf(lines, sizeof lines, "Left=%d\nTop=%d\nHeight=%d\nWidth=%d\n", left, top,
                      height, width);
        file += lines;
    }
    return file;
}

INSTANTIATE_TEST_SUITE_P(Rows, Store,
                         ::testing::Values(StoreRow{"closed normal",
                                                    Main("0", "1500 1200 6000 9000"), false,
                                                    Main("0", "2250 1800 5250 8250")},
                                           StoreRow{"closed maximized keeps the earlier bounds",
                                                    Main("0", "1500 1200 6000 9000"), true,
                                                    Main("2", "1500 1200 6000 9000")}),
                         [](const auto& info) { return RowName(info.param.name); });

} // namespace
