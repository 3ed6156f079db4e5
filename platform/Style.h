#pragma once
// The widget style the controls are drawn in.

#include <stdexcept>

namespace platform {

struct StyleUnavailable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Applies the style the desktop asks for (QT_STYLE_OVERRIDE, else the platform theme's first
// choice). Throws StyleUnavailable when that style cannot be created.
void InitDesktopStyle();

// Applies Qt's built-in "Fusion" style.
void InitFallbackStyle();

} // namespace platform
