#pragma once
// The window class and the caption of a top-level window, as other programs see them.

#include <QString>

class QWidget;

namespace platform {

// Gives window's native X11 window the WM_CLASS (instance: the executable's file name, class:
// className): now if it has one, and every time Qt creates one, before it is shown.
// The application name (and with it Qt's data paths) is left alone. Does nothing off X11.
void SetWindowClass(QWidget* window, const char* className);

// Gives window the caption, shown exactly as it is: Qt takes "[*]" in a window title for the
// place of its modified mark, which a page's title must not reach.
void SetCaption(QWidget& window, const QString& caption);

} // namespace platform
