#pragma once
// Keeping a window's outer bounds within reach on the screens, in whole pixels of the window
// system. No toolkit: the window layers convert their own rectangles at their edge.

#include <vector>

namespace platform {

// A rectangle in pixels: its top-left corner and its size.
struct ScreenRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Where a window of outer bounds `outer` goes, given the screens' free areas and the primary
// one's: unchanged when it meets one of the screens and is no larger than they are together;
// larger, it is cut to their extent and moved within it; lying off every screen, it is brought
// onto `primary` (or the first screen when `primary` is empty), its size kept as far as that
// screen allows. A negative size counts as none; empty screens are no screens; without any
// screen the bounds stay as they are.
ScreenRect KeepOnScreen(const ScreenRect& outer, const std::vector<ScreenRect>& screens,
                        const ScreenRect& primary);

} // namespace platform
