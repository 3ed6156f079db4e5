// The placement of a real GTK window on X11, with openbox and without a window manager: outer
// bounds in twips read back as asked, state round trips, a window off every screen brought back.
#include "support/Rows.h" // GoogleTest before the X11 headers, whose macros clash with its names

#include "platform/window/GtkPlacement.h"
#include "support/GtkLoop.h"
#include "support/XDisplay.h"

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

// Shows the window and waits until the X server has mapped it.
bool Show(GtkWindow* window) {
    gtk_widget_show(GTK_WIDGET(window));
    return WaitUntil([&] { return ServerMapped(window); });
}

struct BoundsRow {
    const char* name;
    bool shownFirst; // moved once shown, or before (with the design frame)
    Bounds asked;
    Bounds placed; // all zero: anywhere on the screen
};
class Placement : public ::testing::TestWithParam<BoundsRow> {
protected:
    void SetUp() override { ASSERT_TRUE(InitGtk()) << "no X display"; }
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
    RowName<BoundsRow>);

// A state asked and left again: the outer bounds are those of before.
struct StateRow {
    const char* name;
    void (*enter)(platform::PlacementWindow&, GtkWindow*);
    int state;
    bool atOnce = false; // asked as soon as the window is shown, before the manager maps it
};
class States : public ::testing::TestWithParam<StateRow> {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitGtk()) << "no X display";
        if (XDisplay().WindowManager() == "none")
            GTEST_SKIP() << "states need a window manager";
    }
};

TEST_P(States, RoundTrip) {
    const StateRow& row = GetParam();
    TopLevel top;
    const auto placement = platform::CreateGtkPlacement(top.window);
    const Bounds normal{3000, 1500, 7500, 4500};
    placement->Move(normal[0], normal[1], normal[2], normal[3]);
    if (row.atOnce) {
        gtk_widget_show(GTK_WIDGET(top.window));
    } else {
        ASSERT_TRUE(Show(top.window));
        ASSERT_TRUE(WaitUntil([&] { return Read(*placement) == normal; }));
    }
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
        StateRow{"maximized as soon as shown, back with the real frame",
                 [](platform::PlacementWindow& p, GtkWindow*) { p.SetWindowState(2); }, 2, true},
        StateRow{"full screen counts as maximized",
                 [](platform::PlacementWindow&, GtkWindow* w) { gtk_window_fullscreen(w); }, 2}),
    RowName<StateRow>);

} // namespace
