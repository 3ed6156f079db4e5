// The rule on twips after the outer widths the window manager reports, one size change after
// another (a granted request is reported back at once), and the controls laid out.
#include "browser/Layout.h"

#include "support/Rows.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

namespace {
using testsupport::operator<<;

struct LayoutRow {
    const char* name;
    float screen;        // the screen's widest outer width; 0: unknown
    bool granted;        // the window manager grants a request
    const char* widths;  // the outer widths reported, one size change each
    std::string laidOut; // "requests x last asked: web view, close button left+width, progress"
    float height = 8280;
    int state = 0;
};
class Layout : public testing::TestWithParam<LayoutRow> {};

std::string T(float twips) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::round(twips * 10) / 10);
    return text;
}

TEST_P(Layout, WidenedAndLaidOut) {
    const LayoutRow& row = GetParam();
    browser::Widening widening;
    browser::LayoutInput in{};
    int requests = 0;
    float asked = 0;
    const browser::Widening::SetWidth setWidth = [&](float width) { // nested: asks nothing
        ++requests, asked = width;
        return row.granted ? widening.Widen({width, row.height, row.state}, setWidth)
                           : in.OuterWidth;
    };
    std::istringstream widths(row.widths);
    for (float outer = 0; widths >> outer;) {
        in = {outer, row.height, row.state};
        in.ScreenWidth = row.screen;
        in.OuterWidth = widening.Widen(in, setWidth);
    }
    in.AboutButtonLeft = 10080 * browser::ToolbarScale(in.OuterWidth); // as the window does
    in.AboutButtonWidth = 960 * browser::ToolbarScale(in.OuterWidth);
    const browser::LayoutResult r = browser::FormResizeLayout(in);
    EXPECT_EQ(std::to_string(requests) + "x" + T(asked) + ": " + T(r.WebViewWidth) + "x" +
                  T(r.WebViewHeight) + ", " + T(r.CloseButtonLeft) + "+" + T(r.CloseButtonWidth) +
                  ", " + T(r.ProgressWidth),
              row.laidOut);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Layout,
    testing::Values(
        LayoutRow{"narrow is widened", 0, true, "14000", "1x15000: 14860x6720, 13900+960, 2700"},
        LayoutRow{"widening refused", 0, false, "14000", "1x15000: 13860x6720, 12900+960, 1700"},
        LayoutRow{"narrow screen: toolbar narrowed", 12000, true, "11000",
                  "1x12000: 11860x6720, 10911.2+948.8, 0"},
        LayoutRow{"maximized at 800 x 600", 12120, true, "12120",
                  "0x0: 11980x6930, 11021.6+958.4, 0", 8490, 2},
        LayoutRow{"requests: tiling keeps its tile", 0, true, "14000 14000 14000",
                  "1x15000: 13860x6720, 12900+960, 1700"},
        LayoutRow{"requests: granted, then narrowed again", 0, true, "14000 15000 14000",
                  "2x15000: 14860x6720, 13900+960, 2700"}),
    testsupport::RowName<LayoutRow>);
} // namespace
