// The page area full screen: entered and left by F11, Escape and the page's requests; the
// controls out of sight meanwhile; the layout and the saved placement as before afterwards.
#include "app/StartUp.h"
#include "browser/FindBar.h"
#include "browser/PageTools.h"
#include "platform/PlacementWindow.h"
#include "settings/Ini.h"
#include "support/MainWindowFixture.h"

#include <QStatusBar>
#include <QTemporaryDir>

namespace {

struct FullWindow : MainWindowFixture {
    bool Full() { return frm.Tools().IsFullScreen(); }
    // Full screen shown: the window in that state and the web view alone, over all of it.
    bool ShownFull() {
        bool hidden = !frm.StatusBar->isVisible();
        for (const QToolButton* button : frm.Bouton) {
            hidden = hidden && !button->isVisible();
        }
        return Full() && frm.isFullScreen() && hidden && frm.WB->geometry() == frm.rect();
    }
    // Back as before: state, bounds, controls and their twips.
    struct Before {
        Qt::WindowStates State;
        QRect Bounds;
        QRect WebView;
        Twips LaidOut;
    };
    Before Now() const {
        return {frm.windowState(), frm.geometry(), frm.WB->geometry(), LaidOut()};
    }
    bool ShownAs(const Before& before) {
        bool shown = frm.StatusBar->isVisible();
        for (const QToolButton* button : frm.Bouton) {
            shown = shown && button->isVisible();
        }
        return !Full() && shown && frm.windowState() == before.State &&
               frm.geometry() == before.Bounds && frm.WB->geometry() == before.WebView &&
               LaidOut() == before.LaidOut;
    }
};

} // namespace

class TestMainWindowFullScreen : public QObject {
    Q_OBJECT
private slots:
    void userKeys_data() {
        QTest::addColumn<int>("leaveKey");
        QTest::newRow("F11 again") << int(Qt::Key_F11);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void userKeys() {
        QFETCH(int, leaveKey);
        FullWindow w;
        QVERIFY(w.Show());
        const FullWindow::Before before = w.Now();
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        QTRY_VERIFY(w.ShownFull());
        // The layout rule waits: the twips stay as laid out.
        QCOMPARE(w.LaidOut(), before.LaidOut);

        QTest::keyClick(w.frm.WB, Qt::Key(leaveKey));
        QTRY_VERIFY(w.ShownAs(before));
        QVERIFY(!w.web.Calls.contains("ExitFullScreen"));
    }

    void pageRequests() {
        FullWindow w;
        QVERIFY(w.Show());
        const FullWindow::Before before = w.Now();
        w.web.RaiseFullScreenRequested(true);
        QTRY_VERIFY(w.ShownFull());
        w.web.RaiseFullScreenRequested(false);
        QTRY_VERIFY(w.ShownAs(before));
        QVERIFY(w.web.Calls.isEmpty());
    }

    void userLeavesPageFullScreen_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("F11") << int(Qt::Key_F11);
    }
    void userLeavesPageFullScreen() {
        QFETCH(int, key);
        FullWindow w;
        QVERIFY(w.Show());
        const FullWindow::Before before = w.Now();
        w.web.RaiseFullScreenRequested(true);
        QTRY_VERIFY(w.ShownFull());
        QTest::keyClick(w.frm.WB, Qt::Key(key));
        QTRY_VERIFY(w.ShownAs(before));
        // The page is told, and its answer changes nothing more.
        QCOMPARE(w.web.Calls, QStringList{"ExitFullScreen"});
        w.web.RaiseFullScreenRequested(false);
        QVERIFY(w.ShownAs(before));
    }

    void userFullScreenOutlastsPage() {
        FullWindow w;
        QVERIFY(w.Show());
        const FullWindow::Before before = w.Now();
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        w.web.RaiseFullScreenRequested(true);
        w.web.RaiseFullScreenRequested(false);
        QTRY_VERIFY(w.ShownFull());
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        QTRY_VERIFY(w.ShownAs(before));
    }

    void maximizedComesBackMaximized() {
        FullWindow w;
        w.frm.showMaximized();
        QVERIFY(QTest::qWaitForWindowActive(&w.frm));
        QTRY_VERIFY(w.frm.isMaximized());
        const FullWindow::Before before = w.Now();
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        QTRY_VERIFY(w.ShownFull());
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        QTRY_VERIFY(w.ShownAs(before));
        QCOMPARE(w.frm.Placement().WindowState(), platform::vbMaximized);
    }

    // Closing while full screen must not leave "maximized" as the state to save.
    void closedFullScreenSavesStateFromBefore() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        BrowserMod1::IniFileName = dir.filePath(QStringLiteral("Orvane.ini"));
        const auto saved = [](const char* key) {
            return BrowserMod1::IniReadDefault(QStringLiteral("Main"), QString::fromLatin1(key));
        };
        FullWindow w;
        InstallProgramHooks(w.frm); // closing runs Form_Unload, which saves the placement
        QVERIFY(w.Show());
        platform::PlacementWindow& placement = w.frm.Placement();
        const QStringList before{QString::number(placement.Width()),
                                 QString::number(placement.Height())};
        QTest::keyClick(w.frm.WB, Qt::Key_F11);
        QTRY_VERIFY(w.ShownFull());
        QCOMPARE(placement.WindowState(), platform::vbMaximized);
        w.frm.close();
        QCOMPARE(saved("WindowState"), QStringLiteral("0"));
        QCOMPARE((QStringList{saved("Width"), saved("Height")}), before);
        BrowserMod1::IniFileName.clear();
    }

    void findBarStaysOverFullScreenView() {
        FullWindow w;
        QVERIFY(w.Show());
        QTest::keyClick(w.frm.WB, Qt::Key_F, Qt::ControlModifier);
        w.web.RaiseFullScreenRequested(true);
        QTRY_VERIFY(w.ShownFull());
        browser::FindBar& bar = w.frm.Tools().Find();
        QTRY_VERIFY(w.frm.rect().right() - bar.geometry().right() < 10);
        QWidget* top = w.frm.childAt(bar.geometry().center());
        QVERIFY(top == &bar || bar.isAncestorOf(top));
        // Escape closes the bar first, then leaves full screen.
        QTest::keyClick(w.frm.WB, Qt::Key_Escape);
        QVERIFY(!bar.isVisible());
        QVERIFY(w.Full());
        QTest::keyClick(w.frm.WB, Qt::Key_Escape);
        QTRY_VERIFY(!w.frm.isFullScreen());
    }
};

QTEST_MAIN(TestMainWindowFullScreen)
#include "tst_mainwindow_fullscreen.moc"
