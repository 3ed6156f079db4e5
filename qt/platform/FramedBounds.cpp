#include "qt/platform/FramedBounds.h"

#include "qt/platform/WindowFrame.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

constexpr int kWatchMs = 3000;
constexpr char kName[] = "orvane-framed-bounds";

class FramedBounds : public QObject {
public:
    FramedBounds(QWidget& window, const QRect& outer)
        : QObject(&window), window_(window), outer_(outer) {
        setObjectName(QLatin1String(kName));
        window.installEventFilter(this);
    }

    void SetBounds(const QRect& outer) { outer_ = outer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QWindow* native = window_.windowHandle();
        if (watched == &window_ && event->type() == QEvent::Show) {
            QTimer::singleShot(kWatchMs, this, [this] { Done(); });
            if (native != nullptr) {
                native_ = native;
                native->installEventFilter(this);
            }
        }
        // The frame shows in no event of its own: any event after it is known will do. The
        // bounds are applied after that event, never in the middle of it.
        if ((watched == &window_ || watched == native_) && native != nullptr &&
            native->isExposed() && !pending_ &&
            (!applied_ || FrameMargins(window_) != appliedFrame_)) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] { Apply(); });
        }
        return false;
    }

private:
    void Apply() {
        pending_ = false;
        applied_ = true;
        appliedFrame_ = FrameMargins(window_);
        const Qt::WindowStates special =
            Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
        if (!(window_.windowState() & special) && window_.frameGeometry() != outer_) {
            window_.resize(outer_.size().shrunkBy(appliedFrame_).expandedTo(window_.minimumSize()));
            window_.move(outer_.topLeft());
        }
    }

    void Done() {
        window_.removeEventFilter(this);
        if (native_ != nullptr) {
            native_->removeEventFilter(this);
        }
        deleteLater();
    }

    QWidget& window_;
    QRect outer_;
    QPointer<QWindow> native_;
    bool pending_ = false;
    bool applied_ = false;
    QMargins appliedFrame_;
};

} // namespace

void ApplyOuterBoundsWhenFramed(QWidget& window, const QRect& outer) {
    if (auto* pending =
            window.findChild<FramedBounds*>(QLatin1String(kName), Qt::FindDirectChildrenOnly)) {
        pending->SetBounds(outer);
        return;
    }
    new FramedBounds(window, outer);
}

} // namespace platform
