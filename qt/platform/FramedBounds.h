#pragma once

#include <QRect>

class QWidget;

namespace platform {

// Before a top-level window is first mapped nobody knows the frame the window manager will
// draw around it, so outer bounds given then can only be applied with a guessed frame. This
// applies `outer` (frame included, in pixels) once more when the window is first exposed, with
// the frame known then (none without a window manager, or with one that draws none), and again
// whenever the frame Qt knows changes afterwards, if the window is then in the normal state and
// not already there. It watches only the window's first show, at most three seconds, so that
// the user's own moves are never undone.
void ApplyOuterBoundsWhenFramed(QWidget& window, const QRect& outer);

} // namespace platform
