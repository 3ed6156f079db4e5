#include "qt/platform/WindowFrame.h"

#include "platform/DesignFrame.h"
#include "qt/platform/Twips.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace platform {

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

namespace {

QMargins DesignFrame() {
    const int left = TwipsToPixelsX(kDesignFrameLeft);
    const int top = TwipsToPixelsY(kDesignFrameTop);
    return {left, top, TwipsToPixelsX(kDesignFrameWidth) - left,
            TwipsToPixelsY(kDesignFrameHeight) - top};
}

} // namespace

QMargins KnownOrDesignFrame(const QWidget& window) {
    if (window.frameGeometry() != window.geometry() || window.isVisible() ||
        window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return FrameMargins(window);
    }
    return DesignFrame();
}

QSize LargestClientSize(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return {};
    }
    // The frame Qt knows may be none for a moment (a window leaving full screen, before the
    // window manager frames it again): count at least the designed frame, so that the room
    // never includes a frame the window is about to get back.
    const QMargins known = KnownOrDesignFrame(window);
    const QMargins design = DesignFrame();
    const QMargins frame(std::max(known.left(), design.left()), std::max(known.top(), design.top()),
                         std::max(known.right(), design.right()),
                         std::max(known.bottom(), design.bottom()));
    return screen->availableGeometry().size().shrunkBy(frame);
}

} // namespace platform
