#pragma once
// Answers modal dialogs from inside their own event loop. A dialog the answer leaves open is
// rejected: a check that fails inside the answer ends the dialog, and the test fails at once
// instead of hanging. The poll ends with the test row that started it.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <functional>

// Runs act on the first modal dialog of type D that shows (each: on every one).
template <typename D> void WhenShown(const std::function<void(D&)>& act, bool each = false) {
    const auto row = [] {
        return QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    };
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, each, row, started = row()] {
        const QPointer<D> dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (row() != started || (dialog != nullptr && !each)) {
            poll->stop();
            poll->deleteLater();
        }
        if (row() == started && dialog != nullptr) {
            const auto close = qScopeGuard(
                [dialog] { dialog && dialog->isVisible() ? dialog->reject() : void(); });
            act(*dialog);
        }
    });
    poll->start(50);
}
