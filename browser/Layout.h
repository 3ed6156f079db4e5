#pragma once
// The main window's layout rule on twips, apart from any widget.

namespace browser {

inline constexpr float kMinimumOuterWidth = 15000;

struct LayoutInput {
    float OuterWidth = 0;
    float OuterHeight = 0;
    int WindowState = 0;        // 0 normal, 1 minimized, 2 maximized
    float AboutButtonLeft = 0;  // Bouton(10) left
    float AboutButtonWidth = 0; // Bouton(10) width
};

struct LayoutResult {
    bool Apply = false;       // false: minimized, nothing changes
    bool WidenWindow = false; // set the outer width to kMinimumOuterWidth
    float WebViewWidth = 0;
    float WebViewHeight = 0;   // never below 0
    float CloseButtonLeft = 0; // Bouton(0) left
    float ProgressLeft = 0;
    float ProgressWidth = 0;
};

// The window's size-change rule. The results are those of the pass that runs once the window has
// been widened, so that a window that cannot be widened is laid out as if it were.
LayoutResult FormResizeLayout(const LayoutInput& input);

} // namespace browser
