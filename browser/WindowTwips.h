#pragma once
// The window's side of the twips: twips per logical pixel, the room the window's screen offers
// and the frame around the client area.

#include <gtk/gtk.h>

namespace browser {

// 1440 / the screen's logical DPI (15 at 96 DPI).
double TwipsPerPixel();

// The frame around the client area, in pixels, as wide as the window manager draws it and at
// least the design frame (a window not framed yet, or leaving full screen, gets one back).
int FrameWidthPixels(GtkWindow* window);
int FrameHeightPixels(GtkWindow* window);

// The usable area (work area) of the window's monitor, in pixels: of the monitor the window
// is on, or of the primary one before the window has a place.
GdkRectangle ScreenWorkArea(GtkWindow* window);

// The widest outer width, in twips as the layout counts them (client area and design frame),
// at which the whole window lies on its screen.
float ScreenFormWidth(GtkWindow* window);

} // namespace browser
