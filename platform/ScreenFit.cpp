#include "platform/ScreenFit.h"

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

// Edges in 64 bits: a corner plus a size of 32 bits each can pass the 32-bit range.
struct Span {
    std::int64_t Left, Top, Right, Bottom; // right and bottom exclusive
};

Span ToSpan(const ScreenRect& rect) {
    const std::int64_t width = std::max(rect.Width, 0), height = std::max(rect.Height, 0);
    return {rect.Left, rect.Top, rect.Left + width, rect.Top + height};
}

bool IsEmpty(const ScreenRect& rect) {
    return rect.Width <= 0 || rect.Height <= 0;
}

// Whether the window has an area in common with the screen; a window without a size meets the
// screen that holds its corner.
bool Meets(const Span& window, const Span& screen) {
    const std::int64_t right = std::max(window.Right, window.Left + 1);
    const std::int64_t bottom = std::max(window.Bottom, window.Top + 1);
    return window.Left < screen.Right && screen.Left < right && window.Top < screen.Bottom &&
           screen.Top < bottom;
}

// The window's size cut to the area's, its corner moved so that it lies within the area.
Span FitInto(const Span& window, const Span& area) {
    const std::int64_t width = std::min(window.Right - window.Left, area.Right - area.Left);
    const std::int64_t height = std::min(window.Bottom - window.Top, area.Bottom - area.Top);
    // A window without a size still gets its corner onto the area.
    const std::int64_t left =
        std::clamp(window.Left, area.Left, area.Right - std::max<std::int64_t>(width, 1));
    const std::int64_t top =
        std::clamp(window.Top, area.Top, area.Bottom - std::max<std::int64_t>(height, 1));
    return {left, top, left + width, top + height};
}

ScreenRect ToRect(const Span& span) {
    return {int(span.Left), int(span.Top), int(span.Right - span.Left),
            int(span.Bottom - span.Top)};
}

} // namespace

ScreenRect KeepOnScreen(const ScreenRect& outer, const std::vector<ScreenRect>& screens,
                        const ScreenRect& primary) {
    std::vector<Span> areas;
    for (const ScreenRect& screen : screens) {
        if (!IsEmpty(screen)) {
            areas.push_back(ToSpan(screen));
        }
    }
    Span kept = ToSpan(outer);
    if (areas.empty()) {
        return ToRect(kept);
    }
    // Larger than all screens together, a window would leave its far side (and the controls laid
    // out along it) out of reach: it is kept to their extent.
    Span desktop = areas.front();
    for (const Span& area : areas) {
        desktop = {std::min(desktop.Left, area.Left), std::min(desktop.Top, area.Top),
                   std::max(desktop.Right, area.Right), std::max(desktop.Bottom, area.Bottom)};
    }
    if (kept.Right - kept.Left > desktop.Right - desktop.Left ||
        kept.Bottom - kept.Top > desktop.Bottom - desktop.Top) {
        kept = FitInto(kept, desktop);
    }
    if (std::any_of(areas.begin(), areas.end(),
                    [&](const Span& area) { return Meets(kept, area); })) {
        return ToRect(kept);
    }
    return ToRect(FitInto(kept, IsEmpty(primary) ? areas.front() : ToSpan(primary)));
}

} // namespace platform
