#include "browser/TwipsGeometry.h"

#include <algorithm>
#include <cmath>

namespace browser {

int TwipsToPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

PixelRect ToPixels(const TwipsRect& rect, double twipsPerPixel) {
    const int left = TwipsToPixels(rect.Left, twipsPerPixel);
    const int top = TwipsToPixels(rect.Top, twipsPerPixel);
    const int right = TwipsToPixels(double(rect.Left) + rect.Width, twipsPerPixel);
    const int bottom = TwipsToPixels(double(rect.Top) + rect.Height, twipsPerPixel);
    return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

} // namespace browser
