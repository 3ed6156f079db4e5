#include "platform/FramedBounds.h"

#include "platform/WindowFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

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
        if (watched != &window_) {
            return false;
        }
        if (event->type() == QEvent::Show) {
            QTimer::singleShot(kWatchMs, this, [this] { Done(); });
        } else if (window_.isVisible() && window_.frameGeometry() != window_.geometry()) {
            // The frame shows in no event of its own: the first event after it is known will do.
            // The bounds are applied after that event, never in the middle of it.
            if (!done_) {
                done_ = true;
                QTimer::singleShot(0, this, [this] { Apply(); });
            }
        }
        return false;
    }

private:
    void Apply() {
        const Qt::WindowStates special =
            Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
        if (!(window_.windowState() & special) && window_.frameGeometry() != outer_) {
            window_.resize(
                outer_.size().shrunkBy(FrameMargins(window_)).expandedTo(window_.minimumSize()));
            window_.move(outer_.topLeft());
        }
        Done();
    }

    void Done() {
        done_ = true;
        window_.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
    QRect outer_;
    bool done_ = false;
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
