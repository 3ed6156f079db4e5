#pragma once
// The design frame, the window frame the layout assumes, in twips: the outer bounds are 120 twips
// wider and 510 twips higher than the client area, whose origin lies 60 twips right of and
// 450 twips below the outer origin. Used wherever the real frame is not known, or not wanted.

namespace platform {

inline constexpr double kDesignFrameLeft = 60;
inline constexpr double kDesignFrameTop = 450;
inline constexpr double kDesignFrameWidth = 120;
inline constexpr double kDesignFrameHeight = 510;

} // namespace platform
