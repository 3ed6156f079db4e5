#pragma once
// The widget style the controls are drawn in, chosen once before any control exists.

namespace StyleWinXP {

// Gives the controls the style the desktop asks for (QT_STYLE_OVERRIDE, else the platform theme's
// first choice); when that style cannot be had (missing plugin, unknown name), Qt's built-in
// "Fusion" style, so that every control is drawn all the same. Never fails.
void InitCommonControlsXP();

} // namespace StyleWinXP
