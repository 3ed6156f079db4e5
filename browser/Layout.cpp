#include "browser/Layout.h"

#include <algorithm>

namespace browser {

LayoutResult FormResizeLayout(const LayoutInput& input) {
    LayoutResult result;
    if (input.WindowState == 1) {
        return result;
    }
    result.Apply = true;
    float width = input.OuterWidth;
    if (width < kMinimumOuterWidth) {
        result.WidenWindow = true;
        width = kMinimumOuterWidth;
    }
    result.WebViewWidth = width - 140.0f;
    result.WebViewHeight = std::max(input.OuterHeight - 1560.0f, 0.0f);
    result.CloseButtonLeft = width - 1100.0f;
    result.ProgressLeft = input.AboutButtonLeft + input.AboutButtonWidth + 60.0f;
    result.ProgressWidth = result.CloseButtonLeft - result.ProgressLeft - 100.0f;
    return result;
}

} // namespace browser
