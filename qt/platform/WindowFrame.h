#pragma once
// The frame the window manager draws around a top-level window.

#include <QMargins>
#include <QSize>

class QWidget;

namespace platform {

// How far the window's outer bounds reach beyond its client area on each side, as Qt knows
// them now: none while Qt knows no frame.
QMargins FrameMargins(const QWidget& window);

// The frame as far as it can be known: the window manager's once it has framed the window (or
// the window is shown, or has no frame), the designed frame before that.
QMargins KnownOrDesignFrame(const QWidget& window);

// The largest client size at which the window, framed as above and at least as the designed
// frame, fits the free area of its screen; an empty size when no screen is known.
QSize LargestClientSize(const QWidget& window);

} // namespace platform
