#pragma once
// The window class of a top-level window, as other programs see it.

class QWidget;

namespace platform {

// Gives window's native X11 window the WM_CLASS (instance: the executable's file name, class:
// className): now if it has one, and every time Qt creates one, before it is shown.
// The application name (and with it Qt's data paths) is left alone. Does nothing off X11.
void SetWindowClass(QWidget* window, const char* className);

} // namespace platform
