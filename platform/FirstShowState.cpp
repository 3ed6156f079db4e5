#include "platform/FirstShowState.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace platform {

namespace {

class FirstShowState : public QObject {
public:
    explicit FirstShowState(QWidget& window) : QObject(&window), window_(&window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) {
            return false;
        }
        if (event->type() == QEvent::Show && !shown_) {
            shown_ = true;
            wanted_ = window_->windowState() & Qt::WindowMaximized;
            QTimer::singleShot(2000, this, [this] { deleteLater(); });
        } else if (event->type() == QEvent::WindowStateChange && shown_) {
            const Qt::WindowStates now = window_->windowState();
            if (wanted_ &&
                !(now & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
                QPointer<QWidget> window = window_;
                QTimer::singleShot(0, window, [window] {
                    if (window) {
                        window->setWindowState(window->windowState() | Qt::WindowMaximized);
                    }
                });
            }
            window_->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* window_;
    bool shown_ = false;
    bool wanted_ = false;
};

} // namespace

void KeepStateThroughFirstShow(QWidget& window) {
    new FirstShowState(window);
}

} // namespace platform
