#include "browser/Zoom.h"

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

std::string ZoomText(int percent) {
    return "Zoom : " + std::to_string(percent) + " %";
}

std::string MatchCountText(int numberOfMatches) {
    if (numberOfMatches <= 0) {
        return "Aucun résultat";
    }
    if (numberOfMatches == 1) {
        return "1 résultat";
    }
    return std::to_string(numberOfMatches) + " résultats";
}

} // namespace browser
