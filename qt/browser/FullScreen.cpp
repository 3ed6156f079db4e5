#include "qt/browser/FullScreen.h"

#include "qt/platform/WebView.h"
#include "qt/platform/WindowFrame.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWidget>

namespace browser {

namespace {

constexpr int kSettleMs = 1000;

} // namespace

FullScreen::FullScreen(QWidget& window, platform::WebView& view, std::vector<QWidget*> hidden,
                       std::function<void()> layOut)
    : Window(window), View(view), Hidden(std::move(hidden)), LayOut(std::move(layOut)) {}

void FullScreen::Enter(Reason reason) {
    const bool wasActive = IsActive();
    Reasons |= reason;
    if (wasActive) {
        return;
    }
    StateBefore = Window.windowState() & ~(Qt::WindowFullScreen | Qt::WindowMinimized);
    BoundsBefore = Window.geometry();
    FrameBefore = platform::FrameMargins(Window);
    for (QWidget* control : Hidden) {
        control->hide();
    }
    // Over the progress bar too, whose visibility the page events keep.
    View.raise();
    Cover();
    Window.setWindowState(StateBefore | Qt::WindowFullScreen);
}

void FullScreen::PageLeft() {
    if ((Reasons & ByPage) == 0) {
        return;
    }
    Reasons &= ~ByPage;
    if (Reasons == 0) {
        Restore(false);
    }
}

void FullScreen::Leave(bool settle) {
    if (!IsActive()) {
        return;
    }
    const bool pageAsked = (Reasons & ByPage) != 0;
    Reasons = 0;
    if (pageAsked) {
        View.ExitFullScreen();
    }
    Restore(settle);
}

bool FullScreen::Cover() {
    if (!IsActive()) {
        return false;
    }
    View.setGeometry(Window.rect());
    return true;
}

void FullScreen::Restore(bool settle) {
    Window.setWindowState(StateBefore);
    if (!StateBefore.testFlag(Qt::WindowMaximized)) {
        // The bounds are known at once, before the window system has answered: a placement
        // saved right after (the window closing) is the one from before.
        Window.setGeometry(BoundsBefore);
    }
    View.lower();
    for (QWidget* control : Hidden) {
        control->show();
    }
    LayOut();
    if (settle && Window.isVisible()) {
        // A window manager gives the frame back only once it has handled the change.
        QDeadlineTimer deadline(kSettleMs);
        while (!Settled() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        }
    }
}

bool FullScreen::Settled() const {
    const bool bounds =
        StateBefore.testFlag(Qt::WindowMaximized) || Window.geometry() == BoundsBefore;
    return bounds && platform::FrameMargins(Window) == FrameBefore;
}

} // namespace browser
