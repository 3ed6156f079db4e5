#pragma once
// The frame the window manager draws around a top-level window.

#include <QMargins>

class QWidget;

namespace platform {

// How far the window's outer bounds reach beyond its client area on each side, as Qt knows
// them now: none while Qt knows no frame.
QMargins FrameMargins(const QWidget& window);

} // namespace platform
