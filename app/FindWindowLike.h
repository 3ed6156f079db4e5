#pragma once
// The search for an earlier instance's main window among the desktop's top-level windows.

#include "platform/x11/WindowTree.h"

#include <string>

namespace BrowserMod1 {

// The caption prefix, `AppCaption`: every caption of the main window ends with it.
inline constexpr char kAppCaption[] = "Navigateur Ulmeco";

// What an earlier instance's main window looks like to others: its caption ends with the
// caption prefix, and its window class is that of the main window (browser::kWindowClass).
std::string InstanceCaptionPattern();
std::string InstanceClassPattern();

// The last direct child of startWindow (0: the desktop), in stacking order from the top, whose
// caption matches captionPattern and whose class name matches classPattern (see Like); 0 when
// none does. Visibility and the owning process are not looked at.
platform::Hwnd FindWindowLike(platform::WindowTree& tree, platform::Hwnd startWindow,
                              const std::string& captionPattern, const std::string& classPattern);

// Finds the earlier instance's main window; when there is one, restores it if it is minimised,
// brings it to the foreground and returns true. Returns false when none was found.
bool ActivatePreviousInstance(platform::WindowTree& tree);

} // namespace BrowserMod1
