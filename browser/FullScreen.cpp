#include "browser/FullScreen.h"

#include "platform/WebView.h"

#include <QWidget>

namespace browser {

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
        Restore();
    }
}

void FullScreen::Leave() {
    if (!IsActive()) {
        return;
    }
    const bool pageAsked = (Reasons & ByPage) != 0;
    Reasons = 0;
    if (pageAsked) {
        View.ExitFullScreen();
    }
    Restore();
}

bool FullScreen::Cover() {
    if (!IsActive()) {
        return false;
    }
    View.setGeometry(Window.rect());
    return true;
}

void FullScreen::Restore() {
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
}

} // namespace browser
