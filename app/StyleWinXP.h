#pragma once
// Registration of the common controls' visual style, done once before any control exists.

namespace StyleWinXP {

// Gives the controls the desktop's widget style; falls back to Qt's own style when the desktop's
// cannot be had. Never fails.
void InitCommonControlsXP();

} // namespace StyleWinXP
