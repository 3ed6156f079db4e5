#pragma once
// Answers modal dialogs, from inside their own event loop (it holds the code that opened them).
// Whatever dialog an answer leaves open is rejected: a check that fails inside the answer closes
// the dialog, and the test fails at once instead of hanging. A poll acts only in the test row
// that started it; in a later row it stops.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace modaldialog {
inline QByteArray Row() {
    return QByteArray(QTest::currentTestFunction()) + '/' + QByteArray(QTest::currentDataTag());
}
// Polls for a modal dialog of type D and runs act on it; once: on the first one only.
template <typename D> QTimer* Poll(const std::function<void(D&)>& act, bool once) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, once, row = Row()] {
        const QPointer<D> dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (row != Row() || (dialog != nullptr && once)) {
            poll->stop();
            if (once) {
                poll->deleteLater();
            }
        }
        if (row == Row() && dialog != nullptr) {
            const auto close = qScopeGuard([dialog] {
                if (dialog != nullptr && dialog->isVisible()) {
                    dialog->reject();
                }
            });
            act(*dialog);
        }
    });
    poll->start(50);
    return poll;
}
} // namespace modaldialog

// Runs act on the modal dialog of type D once it shows.
template <typename D> void WhenShown(const std::function<void(D&)>& act) {
    modaldialog::Poll<D>(act, true);
}

// Runs act on every modal dialog of type D that shows while the answerer lives.
template <typename D> std::unique_ptr<QTimer> AnswerEach(const std::function<void(D&)>& act) {
    return std::unique_ptr<QTimer>(modaldialog::Poll<D>(act, false));
}
