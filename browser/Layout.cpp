#include "browser/Layout.h"

#include "browser/ButtonTable.h"

#include <algorithm>

namespace browser {

float MinimumOuterWidth(float screenWidth) {
    return screenWidth > 0 ? std::min(kMinimumOuterWidth, screenWidth) : kMinimumOuterWidth;
}

float Widening::Widen(const LayoutInput& input, const SetWidth& setWidth) {
    const float width = input.OuterWidth;
    if (input.WindowState != 0 || asking_) {
        return width;
    }
    const float minimum = MinimumOuterWidth(input.ScreenWidth);
    if (width >= minimum) {
        askedFrom_ = -1;
        return width;
    }
    if (width == askedFrom_) {
        return width; // refused at this width
    }
    askedFrom_ = width;
    asking_ = true;
    // The window may lay itself out again at once, inside the request, or later, when the
    // window system grants it.
    const float widened = setWidth(minimum);
    asking_ = false;
    return widened;
}

LayoutResult FormResizeLayout(const LayoutInput& input) {
    LayoutResult result;
    if (input.WindowState == 1) {
        return result;
    }
    result.Apply = true;
    const float width = input.OuterWidth;
    result.WebViewWidth = width - 140.0f;
    result.WebViewHeight = std::max(input.OuterHeight - 1560.0f, 0.0f);
    const float aboutRight = input.AboutButtonLeft + input.AboutButtonWidth;
    result.CloseButtonLeft = std::max(width - 1100.0f, aboutRight);
    result.CloseButtonWidth =
        std::clamp(result.WebViewWidth - result.CloseButtonLeft, 0.0f, kButtons[0].Width);
    result.ProgressLeft = aboutRight + 60.0f;
    result.ProgressWidth = std::max(result.CloseButtonLeft - result.ProgressLeft - 100.0f, 0.0f);
    return result;
}

float ToolbarScale(float outerWidth) {
    const ButtonDesign& about = kButtons[10];
    const float row = about.Left + about.Width + kButtons[0].Width;
    return std::clamp((outerWidth - 140.0f) / row, 0.0f, 1.0f);
}

} // namespace browser
