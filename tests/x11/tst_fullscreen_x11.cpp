// Full screen under a real window manager (openbox, started here): the window fills the screen
// with the web view alone, comes back to its bounds and layout, and a window closed while full
// screen leaves the placement it had before.
#include "browser/PageTools.h"
#include "platform/PlacementWindow.h"
#include "support/MainWindowFixture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <utility>

namespace {

constexpr int kTimeout = 10000;

// openbox on the test's display for the life of the object.
class Openbox {
public:
    Openbox() {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        running_ =
            process_.waitForStarted() && QTest::qWaitFor([] {
                QProcess xprop;
                xprop.start(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
                return xprop.waitForFinished(2000) &&
                       xprop.readAllStandardOutput().contains("window id");
            });
    }
    ~Openbox() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    bool Running() const { return running_; }

private:
    QProcess process_;
    bool running_ = false;
};

struct Placed {
    int State;
    double Left, Top, Width, Height;
    bool operator==(const Placed&) const = default;
};

Placed PlacementOf(BrowserFrm& frm) {
    platform::PlacementWindow& p = frm.Placement();
    return {p.WindowState(), p.Left(), p.Top(), p.Width(), p.Height()};
}

char* toString(const Placed& p) {
    return QTest::toString(QStringLiteral("state %1, %2 %3 %4 x %5")
                               .arg(p.State)
                               .arg(p.Left)
                               .arg(p.Top)
                               .arg(p.Width)
                               .arg(p.Height));
}

} // namespace

class TestFullScreenX11 : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Openbox> Wm;

    // A normal window at known bounds, framed by the window manager and active.
    static bool ShowFramed(MainWindowFixture& w) {
        w.frm.setGeometry(120, 90, 1100, 620);
        w.frm.show();
        w.frm.activateWindow();
        if (!QTest::qWaitForWindowActive(&w.frm) ||
            !QTest::qWaitFor(
                [&w] {
                    const QRect frame = w.frm.frameGeometry();
                    return frame != w.frm.geometry() && frame.contains(w.frm.geometry());
                },
                kTimeout)) {
            return false;
        }
        // The window manager may still move the framed window: wait until it stays put.
        Placed last = PlacementOf(w.frm);
        return QTest::qWaitFor(
            [&w, &last] {
                QTest::qWait(200);
                const Placed now = PlacementOf(w.frm);
                return std::exchange(last, now) == now;
            },
            kTimeout);
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        Wm = std::make_unique<Openbox>();
        QVERIFY(Wm->Running());
    }
    void cleanupTestCase() { Wm.reset(); }

    void fullScreenAndBack() {
        MainWindowFixture w;
        QVERIFY(ShowFramed(w));
        const QRect bounds = w.frm.geometry();
        const MainWindowFixture::Twips laidOut = w.LaidOut();
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        const QRect screen = w.frm.screen()->geometry();
        QTRY_COMPARE_WITH_TIMEOUT(w.frm.geometry(), screen, kTimeout);
        QTRY_COMPARE(w.frm.WB->geometry(), w.frm.rect());
        QVERIFY(!w.frm.Bouton[0]->isVisible());
        QCOMPARE(w.LaidOut(), laidOut);

        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        QTRY_COMPARE_WITH_TIMEOUT(w.frm.geometry(), bounds, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(w.frm.frameGeometry() != w.frm.geometry(), kTimeout);
        QCOMPARE(w.LaidOut(), laidOut);
        QVERIFY(w.frm.Bouton[0]->isVisible());
    }

    void closedFullScreenKeepsPlacementFromBefore() {
        MainWindowFixture w;
        QVERIFY(ShowFramed(w));
        const Placed before = PlacementOf(w.frm);
        QCOMPARE(before.State, platform::vbNormal);
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        QTRY_COMPARE_WITH_TIMEOUT(w.frm.geometry(), w.frm.screen()->geometry(), kTimeout);
        // What closing does before the placement is saved.
        w.frm.Tools().LeaveFullScreenToClose();
        QCOMPARE(PlacementOf(w.frm), before);
        w.frm.close();
    }
};

QTEST_MAIN(TestFullScreenX11)
#include "tst_fullscreen_x11.moc"
