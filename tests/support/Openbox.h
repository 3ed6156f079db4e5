#pragma once
// openbox on the test's display for the life of the object.
#include "support/X11Client.h"

#include <QProcess>

class Openbox {
public:
    explicit Openbox(X11Client& x) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        // openbox names its check window before it takes over the screen: it is ready once it
        // manages a window mapped after that. The half second is a retry period.
        for (int attempt = 0; attempt < 120 && !running_ && process_.waitForStarted() &&
                              process_.state() == QProcess::Running;
             ++attempt) {
            const xcb_window_t probe = x.Make("sonde", "sonde");
            running_ = QTest::qWaitFor([&] { return x.Managed(probe); }, 500);
            x.DestroyMade();
        }
    }
    ~Openbox() {
        process_.terminate();
        if (!process_.waitForFinished(kX11WaitMs))
            process_.kill();
        process_.waitForFinished();
    }
    bool Running() const { return running_; }

private:
    QProcess process_;
    bool running_ = false;
};
