#include "qt/platform/WidgetPlacement.h"

#include "platform/ScreenFit.h"
#include "qt/platform/FramedBounds.h"
#include "qt/platform/Twips.h"
#include "qt/platform/WindowFrame.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <climits>

namespace platform {

namespace {

// Client sizes a stored placement may ask for, in pixels: a window too small to use or
// beyond what X11 can address is not kept.
constexpr int kMinClientWidth = 160;
constexpr int kMinClientHeight = 120;
constexpr int kMaxClientSize = 32767;

// Coordinates beyond these are no position (X11 uses 16-bit coordinates).
constexpr int kCoordinateLimit = 32767;

ScreenRect FromQRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

} // namespace

int WidgetPlacement::WindowState() const {
    const Qt::WindowStates state = window_.windowState();
    if (state & Qt::WindowMinimized) {
        return vbMinimized;
    }
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return vbMaximized;
    }
    return vbNormal;
}

void WidgetPlacement::SetWindowState(int state) {
    const Qt::WindowStates current = window_.windowState();
    if (state == vbMinimized) {
        window_.setWindowState(current | Qt::WindowMinimized);
    } else if (state == vbMaximized) {
        window_.setWindowState((current & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) |
                               Qt::WindowMaximized);
    } else {
        window_.setWindowState(current &
                               ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    }
}

QMargins WidgetPlacement::Frame() const {
    return KnownOrDesignFrame(window_);
}

QRect WidgetPlacement::OuterBounds() const {
    // Before the window is shown, Qt keeps the position given to move(), the frame's.
    const QMargins frame = Frame();
    return {window_.pos(), window_.size().grownBy(frame)};
}

double WidgetPlacement::Left() const {
    return PixelsToTwipsX(OuterBounds().left());
}
double WidgetPlacement::Top() const {
    return PixelsToTwipsY(OuterBounds().top());
}
double WidgetPlacement::Width() const {
    return PixelsToTwipsX(OuterBounds().width());
}
double WidgetPlacement::Height() const {
    return PixelsToTwipsY(OuterBounds().height());
}

void WidgetPlacement::Move(double left, double top, double width, double height) {
    const QMargins frame = Frame();
    const auto pixels = [](double twips, int (*convert)(double), int low, int high) {
        return std::clamp(convert(std::clamp(twips, -1e9, 1e9)), low, high);
    };
    const int clientWidth =
        pixels(width, TwipsToPixelsX, INT_MIN / 2, INT_MAX / 2) - frame.left() - frame.right();
    const int clientHeight =
        pixels(height, TwipsToPixelsY, INT_MIN / 2, INT_MAX / 2) - frame.top() - frame.bottom();
    QSize client(std::clamp(clientWidth, kMinClientWidth, kMaxClientSize),
                 std::clamp(clientHeight, kMinClientHeight, kMaxClientSize));
    client = client.expandedTo(window_.minimumSize()).boundedTo(window_.maximumSize());
    QRect outer(pixels(left, TwipsToPixelsX, -kCoordinateLimit, kCoordinateLimit),
                pixels(top, TwipsToPixelsY, -kCoordinateLimit, kCoordinateLimit), 0, 0);
    outer.setSize(client.grownBy(frame));

    std::vector<ScreenRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(FromQRect(screen->availableGeometry()));
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    const ScreenRect kept =
        KeepOnScreen(FromQRect(outer), screens,
                     primary ? FromQRect(primary->availableGeometry()) : ScreenRect());
    outer = QRect(kept.Left, kept.Top, kept.Width, kept.Height);
    client = outer.size().shrunkBy(frame).expandedTo(window_.minimumSize());

    // Qt moves and sizes a maximized window only as the bounds it returns to when restored:
    // apply them in the normal state and go back to the state asked for.
    const Qt::WindowStates state = window_.windowState();
    const Qt::WindowStates special =
        Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
    if (state & special) {
        window_.setWindowState(state & ~special);
    }
    window_.resize(client);
    window_.move(outer.topLeft());
    if (state & special) {
        window_.setWindowState(state);
    }
    if (!window_.isVisible()) {
        // The frame above was a guess: once the window manager has framed the window, the
        // bounds are applied again with the real one.
        ApplyOuterBoundsWhenFramed(window_, outer);
    }
}

void WidgetPlacement::DoEvents() {
    QCoreApplication::processEvents();
}

} // namespace platform
