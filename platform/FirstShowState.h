#pragma once

class QWidget;

namespace platform {

// The engine's view makes Qt re-create a top-level window's native window when it is first
// shown, and on X11 the new window comes up in the normal state whatever state was asked for.
// This asks once more for the maximized state the window was shown in, when the window system
// reports it lost right after the first show. It watches only the first state change after the
// show, and at most two seconds, so that the user's own changes are never undone.
void KeepStateThroughFirstShow(QWidget& window);

} // namespace platform
