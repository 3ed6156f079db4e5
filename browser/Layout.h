#pragma once
// The main window's layout rule on twips, apart from any widget.

#include <functional>

namespace browser {

inline constexpr float kMinimumOuterWidth = 15000;

struct LayoutInput {
    float OuterWidth = 0;
    float OuterHeight = 0;
    int WindowState = 0;        // 0 normal, 1 minimized, 2 maximized
    float AboutButtonLeft = 0;  // Bouton(10) left
    float AboutButtonWidth = 0; // Bouton(10) width
    // The widest outer width at which the whole window lies on its screen; 0 when unknown.
    float ScreenWidth = 0;
};

struct LayoutResult {
    bool Apply = false; // false: minimized, nothing changes
    float WebViewWidth = 0;
    float WebViewHeight = 0;   // never below 0
    float CloseButtonLeft = 0; // Bouton(0) left
    float CloseButtonWidth = 0;
    float ProgressLeft = 0;
    float ProgressWidth = 0; // never below 0
};

// The outer width a normal window is widened to: the minimum, or the screen's width where the
// screen is narrower (a wider window would put its right part off the screen).
float MinimumOuterWidth(float screenWidth);

// Widens a normal window narrower than the minimum and reads its width again. A window manager
// may refuse (a tiling one keeps the window in its tile): the window keeps the width it had, and
// is not asked again from that width until it has once been at the minimum, so that a refusal
// never turns into a request on every size change.
class Widening {
public:
    // Asks for the window's outer width and gives back the width the window has afterwards.
    using SetWidth = std::function<float(float width)>;

    // The outer width to lay the window out at.
    float Widen(const LayoutInput& input, const SetWidth& setWidth);

private:
    float askedFrom_ = -1; // the width the last request was made at; -1 once the minimum is met
    bool asking_ = false;  // a request is under way: the pass it raises keeps the width it sees
};

// The window's size-change rule at the outer width the window has (once widened). Where that is
// the minimum or more, the rule as designed. On a narrower window the progress bar shrinks to
// nothing, and the close button starts no further left than Bouton(10)'s right edge and ends no
// further right than the web view's, so that no control reaches past the window or covers
// another (with the toolbar narrowed as ToolbarScale says, it fills the room between them).
LayoutResult FormResizeLayout(const LayoutInput& input);

// How much the toolbar's buttons are narrowed, positions and widths alike: 1 (as designed) where
// the row, close button included, fits between the window's left edge and the web view's right
// edge; less on a narrower window, so that the row ends there.
float ToolbarScale(float outerWidth);

} // namespace browser
