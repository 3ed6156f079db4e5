#pragma once
// What other X11 clients see of the program's windows and what a person does to them, through
// the desktop's command-line tools (xdotool, xprop, xwininfo) on the display of DISPLAY.

#include <QList>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>

namespace testsupport::desktop {

using Window = quint32;

enum class Mapped { Any, Only };

// The windows whose WM_CLASS class part is exactly the class, in the order xdotool lists them;
// with Mapped::Only, those that are viewable.
QList<Window> WindowsOfClass(const QString& windowClass, Mapped mapped = Mapped::Any);
// The program's main windows: class "ThunderRT6FormDC".
QList<Window> FormWindows(Mapped mapped = Mapped::Any);

// Waits, keeping the event loop turning, for the main window of the process as a later start
// finds it: class "ThunderRT6FormDC" and a caption ending with "Navigateur Ulmeco". 0 when none
// came within the time or the process ended first. (Before its caption is set, the toolkit may
// create and drop a native window of that class under the program's name.)
Window WaitForFormOf(qint64 processId, int timeoutMs);

// WaitForFormOf, then waits for that window to show the caption; 0 when it did not in time
// (the caption last seen is given as a warning).
Window WaitForCaptionOf(qint64 processId, const QString& caption, int timeoutMs);

// _NET_WM_NAME (UTF-8), or WM_NAME when it is missing; empty when the window has neither.
QString Caption(Window window);
// The class part of WM_CLASS.
QString WindowClass(Window window);
// The atoms of _NET_WM_STATE, shortened: "MAXIMIZED_VERT", "HIDDEN", ...
QStringList NetWmState(Window window);
// _NET_WM_PID, 0 when it is not set.
qint64 ProcessId(Window window);
// The window manager's frame around the window (_NET_FRAME_EXTENTS); none when it has no frame.
QMargins FrameExtents(Window window);
// The window's outer bounds on the screen: its client area grown by its frame extents.
QRect OuterBounds(Window window);
// _NET_ACTIVE_WINDOW of the root window; 0 when none.
Window ActiveWindow();

// Asks the window manager to activate the window and waits until it is.
bool Activate(Window window);
// Activates the window, then types the keys ("alt+f") to the focused window, as a person would.
bool PressKeys(Window window, const QString& keys);
// Asks the window manager to minimize the window.
bool Minimize(Window window);

} // namespace testsupport::desktop
