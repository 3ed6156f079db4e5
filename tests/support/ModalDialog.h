#pragma once
// For tests that answer a modal dialog: while it runs, its own event loop holds the code that
// opened it.

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

namespace modaldialog {
// Polls for a modal dialog of type D and runs act on it; once: on the first one only.
template <typename D> QTimer* Poll(const std::function<void(D&)>& act, bool once) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, once] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            if (once) {
                poll->stop();
                poll->deleteLater();
            }
            act(*dialog);
        }
    });
    poll->start(50);
    return poll;
}
} // namespace modaldialog

// Runs act on the modal dialog of type D once it shows, from inside its event loop.
template <typename D> void WhenShown(const std::function<void(D&)>& act) {
    modaldialog::Poll<D>(act, true);
}

// Runs act on every modal dialog of type D that shows while the answerer lives; act closes it.
template <typename D> std::unique_ptr<QTimer> AnswerEach(const std::function<void(D&)>& act) {
    return std::unique_ptr<QTimer>(modaldialog::Poll<D>(act, false));
}
