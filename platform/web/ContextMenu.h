#pragma once
// The engine's own page menu (French from its catalogue), adjusted: "open in a new window"
// opens one of the program's windows at once, as the user asked, without NewWindow; the entries
// that would open images, frames and media in a window of their own are left out.

#include <webkit2/webkit2.h>

namespace platform {

class WebKitView;

void AdjustContextMenu(WebKitView& view, WebKitContextMenu* menu, WebKitHitTestResult* hit);

} // namespace platform
