#include "qt/browser/Zoom.h"

#include <algorithm>

namespace browser {

int NextZoomStep(int percent) {
    const auto* above = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return above == kZoomSteps.end() ? kZoomSteps.back() : *above;
}

int PreviousZoomStep(int percent) {
    const auto* below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return below == kZoomSteps.begin() ? kZoomSteps.front() : *(below - 1);
}

QString ZoomText(int percent) {
    return QStringLiteral("Zoom : %1 %").arg(percent);
}

} // namespace browser
