#pragma once
// What other programs know the main window by, besides its caption.

namespace browser {

// The class of the main window (the class part of its X11 WM_CLASS): a second start looks for a
// window of this class.
inline constexpr char kWindowClass[] = "ThunderRT6FormDC";

} // namespace browser
