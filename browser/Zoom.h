#pragma once
// The page zoom steps, in percent, and the texts the page tools show (zoom, find results).

#include <array>
#include <string>

namespace browser {

inline constexpr std::array<int, 17> kZoomSteps{25,  33,  50,  67,  75,  80,  90,  100, 110,
                                                125, 150, 175, 200, 250, 300, 400, 500};
inline constexpr int kZoomDefault = 100;

// The first step above percent; the largest step once there.
int NextZoomStep(int percent);
// The last step below percent; the smallest step once there.
int PreviousZoomStep(int percent);
// "Zoom : 125 %"
std::string ZoomText(int percent);
// "Aucun résultat", "1 résultat", "3 résultats"
std::string MatchCountText(int numberOfMatches);

} // namespace browser
