#pragma once
// For tests that answer a modal dialog: while it runs, its own event loop holds the code that
// opened it.

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs act on the modal dialog of type D once it shows, from inside its event loop.
template <typename D> void WhenShown(const std::function<void(D&)>& act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start(50);
}
