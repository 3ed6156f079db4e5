// The placement of a real GTK window on X11, with openbox and without a window manager: outer
// bounds in twips read back as asked, a window off every screen brought back, and (with openbox)
// a state asked and left again giving back the outer bounds of before.
#include "support/Rows.h" // GoogleTest before the X11 headers, whose macros clash with its names

#include "platform/window/GtkPlacement.h"
#include "support/GtkLoop.h"
#include "support/XDisplay.h"

#include <array>
#include <cmath>
#include <sstream>

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

// The steps, in order: "move" (to the bounds asked), "show" (and wait until the X server has
// mapped it), "show at once" (not waiting: what follows is asked before the manager maps it),
// "placed" (wait until the bounds read back as placed), "state N" or "full screen" (asked, and
// waited for as state N or 2).
struct Row {
    const char* name;
    const char* steps;
    Bounds asked;
    Bounds placed; // all zero: anywhere on the screen
};
class Placement : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitGtk()) << "no X display";
        if (std::string(GetParam().steps).find("state") != std::string::npos &&
            XDisplay().WindowManager() == "none")
            GTEST_SKIP() << "states need a window manager";
    }
};

TEST_P(Placement, OuterBoundsAsAsked) {
    const Row& row = GetParam();
    TopLevel top;
    const auto placement = platform::CreateGtkPlacement(top.window);
    std::istringstream steps(row.steps);
    for (std::string step; std::getline(steps >> std::ws, step, ',');) {
        if (step == "move") {
            placement->Move(row.asked[0], row.asked[1], row.asked[2], row.asked[3]);
            placement->DoEvents();
        } else if (step.starts_with("show")) {
            gtk_widget_show(GTK_WIDGET(top.window));
            ASSERT_TRUE(step != "show" || WaitUntil([&] { return ServerMapped(top.window); }));
        } else if (step == "placed") {
            ASSERT_TRUE(WaitUntil([&] { return Read(*placement) == row.placed; }));
        } else {
            const int state = step == "full screen" ? 2 : std::stoi(step.substr(6));
            if (step == "full screen")
                gtk_window_fullscreen(top.window);
            else
                placement->SetWindowState(state);
            EXPECT_TRUE(WaitUntil([&] { return placement->WindowState() == state; })) << step;
        }
    }
    if (row.placed == Bounds{}) {
        EXPECT_TRUE(WaitUntil([&] { return OnScreen(Read(*placement)); }));
    } else {
        EXPECT_TRUE(WaitUntil([&] { return Read(*placement) == row.placed; }))
            << "last read: " << testing::PrintToString(Read(*placement));
    }
}

constexpr double kNan = NAN, kInf = INFINITY;
constexpr Bounds kAsked{1500, 1200, 9000, 6000};
INSTANTIATE_TEST_SUITE_P(
    Rows, Placement,
    ::testing::Values(
        Row{"shown, then placed", "show, move", kAsked, kAsked},
        Row{"placed before shown, sized again with the real frame", "move, show", kAsked, kAsked},
        Row{"left of every screen comes back",
            "show, move",
            {-300000, 1200, 9000, 6000},
            {0, 1200, 9000, 6000}},
        Row{"below every screen comes back before shown",
            "move, show",
            {1500, 50000, 9000, 6000},
            {1500, kScreenHeight - 6000, 9000, 6000}},
        Row{"not numbers", "show, move", {kNan, kInf, -kInf, kNan}, {}},
        Row{"enormous", "move, show", {-1e300, 1e300, 1e300, 1e300}, {}},
        Row{"maximized, back as before", "move, show, placed, state 2, state 0", kAsked, kAsked},
        Row{"minimized, back as before", "move, show, placed, state 1, state 0", kAsked, kAsked},
        Row{"maximized as soon as shown, back with the real frame",
            "move, show at once, state 2, state 0", kAsked, kAsked},
        Row{"full screen counts as maximized", "move, show, placed, full screen, state 0", kAsked,
            kAsked}),
    RowName<Row>);

} // namespace
