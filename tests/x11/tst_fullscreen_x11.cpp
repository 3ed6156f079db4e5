// The placement of the real main window: a saved placement comes back exactly, with and
// without a window manager; and under one (openbox, started here) full screen fills the screen
// with the web view alone, comes back to its bounds and layout, and a window closed while full
// screen leaves the placement it had before.
#include "browser/PageTools.h"
#include "platform/PlacementWindow.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"
#include "support/FileBytes.h"
#include "support/MainWindowFixture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
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
    // Empty when it worked, else what did not happen.
    static QString ShowFramed(MainWindowFixture& w) {
        const auto framed = [&w] {
            const QRect frame = w.frm.frameGeometry();
            return frame != w.frm.geometry() && frame.contains(w.frm.geometry());
        };
        // Now and then Qt never hears of the frame the window manager put around the window:
        // show the window again then.
        QString failed;
        for (int round = 0; round < 3; ++round) {
            w.frm.hide();
            w.frm.setGeometry(120, 90, 1100, 620);
            w.frm.show();
            // The window manager may refuse focus to a window that maps while another one of
            // the process still has it: ask again until the window is active.
            bool active = false;
            for (int attempt = 0; attempt < 10 && !active; ++attempt) {
                w.frm.raise();
                w.frm.activateWindow();
                active = QTest::qWaitForWindowActive(&w.frm, 1000);
            }
            if (!active) {
                failed = QStringLiteral("the window never became active");
            } else if (!QTest::qWaitFor(framed, 5000)) {
                failed = QStringLiteral("the window was never framed");
            } else {
                failed.clear();
                break;
            }
        }
        if (!failed.isEmpty()) {
            return failed;
        }
        // The window manager may still move the framed window: wait until it stays put.
        Placed last = PlacementOf(w.frm);
        const bool still = QTest::qWaitFor(
            [&w, &last] {
                QTest::qWait(200);
                const Placed now = PlacementOf(w.frm);
                return std::exchange(last, now) == now;
            },
            kTimeout);
        return still ? QString() : QStringLiteral("the window never stayed put");
    }

    // Starts openbox, once, for this test and those after it. openbox sets its check property
    // before it takes over the screen: it is ready once it frames a window mapped after that.
    bool StartWm() {
        if (Wm) {
            return Wm->Running();
        }
        Wm = std::make_unique<Openbox>();
        for (int attempt = 0; Wm->Running() && attempt < 20; ++attempt) {
            QWidget probe;
            probe.resize(200, 100);
            probe.show();
            if (QTest::qWaitFor([&] { return probe.frameGeometry() != probe.geometry(); }, 500)) {
                return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { Wm.reset(); }

    // Closed in the normal state and started again, the window is where and as large as it
    // was: the file is written back as it was read, whatever frame the window has (none
    // without a window manager).
    void savedPlacementComesBackExactly_data() {
        QTest::addColumn<bool>("windowManager");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }
    void savedPlacementComesBackExactly() {
        QFETCH(bool, windowManager);
        if (windowManager) {
            QVERIFY(StartWm());
        } else {
            QVERIFY(!Wm); // the rows before any window manager runs
        }
        QTemporaryDir dir;
        BrowserMod1::IniFileName = dir.filePath("Orvane.ini");
        const QByteArray stored =
            "[Main]\nWindowState=0\nLeft=3000\nTop=2250\nHeight=9000\nWidth=16500\n";
        QVERIFY(testsupport::WriteBytes(BrowserMod1::IniFileName, stored));
        {
            MainWindowFixture w;
            BrowserMod1::FormPlacement("Main", w.frm.Placement(), BrowserMod1::RestorePlacement);
            w.frm.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w.frm));
            if (windowManager) {
                QTRY_VERIFY_WITH_TIMEOUT(w.frm.frameGeometry() != w.frm.geometry(), kTimeout);
            }
            QTRY_COMPARE_WITH_TIMEOUT(PlacementOf(w.frm), (Placed{0, 3000, 2250, 16500, 9000}),
                                      kTimeout);
            BrowserMod1::FormPlacement("Main", w.frm.Placement(), BrowserMod1::SavePlacement);
        }
        QCOMPARE(testsupport::ReadBytes(BrowserMod1::IniFileName), stored);
        BrowserMod1::IniFileName.clear();
    }

    void fullScreenAndBack() {
        QVERIFY(StartWm());
        MainWindowFixture w;
        {
            const QString failed = ShowFramed(w);
            QVERIFY2(failed.isEmpty(), qPrintable(failed));
        }
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
        QVERIFY(StartWm());
        MainWindowFixture w;
        {
            const QString failed = ShowFramed(w);
            QVERIFY2(failed.isEmpty(), qPrintable(failed));
        }
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
