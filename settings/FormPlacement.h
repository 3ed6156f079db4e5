#pragma once
// Restoring and saving a window's state, position and size in a section of the settings file.

#include "platform/PlacementWindow.h"

#include <string>

namespace BrowserMod1 {

enum PlacementMode : int { RestorePlacement = 0, SavePlacement = 1 };

// Mode 0 restores the window from the section (maximized when nothing was saved, never
// minimized), mode 1 saves it there (the bounds only when the window is in the normal state);
// any other mode does nothing.
void FormPlacement(const std::string& section, platform::PlacementWindow& window, int mode);

} // namespace BrowserMod1
