#include "platform/WindowFrame.h"

#include "platform/DesignFrame.h"
#include "platform/Twips.h"

#include <QScreen>
#include <QWidget>

namespace platform {

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QMargins KnownOrDesignFrame(const QWidget& window) {
    if (window.frameGeometry() != window.geometry() || window.isVisible() ||
        window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return FrameMargins(window);
    }
    const int left = TwipsToPixelsX(kDesignFrameLeft);
    const int top = TwipsToPixelsY(kDesignFrameTop);
    return {left, top, TwipsToPixelsX(kDesignFrameWidth) - left,
            TwipsToPixelsY(kDesignFrameHeight) - top};
}

QSize LargestClientSize(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return {};
    }
    return screen->availableGeometry().size().shrunkBy(KnownOrDesignFrame(window));
}

} // namespace platform
