#pragma once
// The placement interface on a GTK top-level window on X11: its state, and its outer bounds
// (frame and caption included) in twips, with and without a window manager.

#include "platform/PlacementWindow.h"

#include <memory>

typedef struct _GtkWindow GtkWindow;

namespace platform {

// A placement of `window`, which must outlive it. State: 0 normal, 1 minimized, 2 maximized
// (full screen counts as maximized). Move places the frame's top-left corner and sizes the
// client area so that the outer size is the one asked, kept within sane limits and on the
// monitors' work areas. Before the window manager has framed the window the frame is the design
// frame; once the real frame is known after such a Move, the size is applied once more with it.
std::unique_ptr<PlacementWindow> CreateGtkPlacement(GtkWindow* window);

} // namespace platform
