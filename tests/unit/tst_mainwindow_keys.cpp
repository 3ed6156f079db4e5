// The main window's keys: each reaches the same web view operation as its button; Escape is
// left to the page unless the window has something to end; the zoom keys and their feedback.
#include "browser/FindBar.h"
#include "browser/PageTools.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

namespace {

// Counts the Escape presses that reach a widget.
class EscapeCounter : public QObject {
public:
    int Presses = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            ++Presses;
        }
        return QObject::eventFilter(watched, event);
    }
};

QString StatusText(const BrowserFrm& frm) {
    return frm.findChild<QLabel*>(QStringLiteral("StatusText"))->text();
}

} // namespace

class TestMainWindowKeys : public QObject {
    Q_OBJECT
private slots:
    void keyDoesWhatItsButtonDoes_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("button");
        QTest::newRow("Alt+Left back") << int(Qt::Key_Left) << int(Qt::AltModifier) << 1;
        QTest::newRow("Alt+Right forward") << int(Qt::Key_Right) << int(Qt::AltModifier) << 2;
        QTest::newRow("F5 refresh") << int(Qt::Key_F5) << int(Qt::NoModifier) << 3;
        QTest::newRow("Ctrl+R refresh") << int(Qt::Key_R) << int(Qt::ControlModifier) << 3;
        QTest::newRow("Ctrl+P print") << int(Qt::Key_P) << int(Qt::ControlModifier) << 7;
        QTest::newRow("Ctrl+S save") << int(Qt::Key_S) << int(Qt::ControlModifier) << 9;
        QTest::newRow("Alt+Home home") << int(Qt::Key_Home) << int(Qt::AltModifier) << 5;
    }
    void keyDoesWhatItsButtonDoes() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, button);
        MainWindowFixture w;
        QVERIFY(w.Show());
        w.frm.Bouton[button]->click();
        const QStringList byButton = w.web.Calls;
        QVERIFY(byButton.size() > 1);

        w.web.Calls.clear();
        QTest::keyClick(w.frm.WB, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.web.Calls, byButton);
    }

    void keysWorkFromAnyControl() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        w.frm.Bouton[6]->setFocus();
        QTest::keyClick(w.frm.Bouton[6], Qt::Key_F5);
        QCOMPARE(w.web.Calls, (QStringList{"SetFocus", "Refresh"}));
        QCOMPARE(QApplication::focusWidget(), w.frm.WB);
    }

    // Escape belongs to the page while the window has nothing to end.
    void escapeLeftToIdlePage() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        EscapeCounter page;
        w.frm.WB->installEventFilter(&page);
        QTest::keyClick(w.frm.WB, Qt::Key_Escape);
        QCOMPARE(page.Presses, 1);
        QVERIFY(w.web.Calls.isEmpty());

        // A load that ended gives it back as well.
        w.web.RaiseDownloadBegin();
        w.web.RaiseDownloadComplete();
        QTest::keyClick(w.frm.WB, Qt::Key_Escape);
        QCOMPARE(page.Presses, 2);
        QVERIFY(w.web.Calls.isEmpty());
    }

    void escapeStopsLoad() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        w.frm.Bouton[4]->click();
        const QStringList byButton = w.web.Calls;
        w.web.Calls.clear();

        EscapeCounter page;
        w.frm.WB->installEventFilter(&page);
        w.web.RaiseDownloadBegin();
        QTest::keyClick(w.frm.WB, Qt::Key_Escape);
        QCOMPARE(w.web.Calls, byButton);
        QCOMPARE(page.Presses, 0);
    }

    void escapeClosesFindBarBeforeStopping() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        w.web.RaiseDownloadBegin();
        QTest::keyClick(w.frm.WB, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.frm.Tools().Find().isVisible());
        // From the page as well as from the bar.
        w.frm.WB->setFocus();
        w.web.Calls.clear();
        QTest::keyClick(w.frm.WB, Qt::Key_Escape);
        QVERIFY(!w.frm.Tools().Find().isVisible());
        QVERIFY(!w.web.Calls.contains("Stop"));

        QTest::keyClick(w.frm.WB, Qt::Key_Escape);
        QVERIFY(w.web.Calls.contains("Stop"));
    }

    void zoomKeys_data() {
        QTest::addColumn<QList<int>>("keys"); // each a key with Ctrl
        QTest::addColumn<int>("percent");
        QTest::newRow("in") << QList<int>{Qt::Key_Plus} << 110;
        QTest::newRow("in with =") << QList<int>{Qt::Key_Equal} << 110;
        QTest::newRow("out") << QList<int>{Qt::Key_Minus} << 90;
        QTest::newRow("in twice") << QList<int>{Qt::Key_Plus, Qt::Key_Plus} << 125;
        QTest::newRow("in then reset") << QList<int>{Qt::Key_Plus, Qt::Key_Plus, Qt::Key_0} << 100;
        QTest::newRow("down to the limit") << QList<int>(12, Qt::Key_Minus) << 25;
        QTest::newRow("up to the limit") << QList<int>(15, Qt::Key_Plus) << 500;
    }
    void zoomKeys() {
        QFETCH(QList<int>, keys);
        QFETCH(int, percent);
        MainWindowFixture w;
        QVERIFY(w.Show());
        for (int key : keys) {
            QTest::keyClick(w.frm.WB, Qt::Key(key), Qt::ControlModifier);
        }
        QCOMPARE(w.frm.Tools().ZoomPercent(), percent);
        QCOMPARE(w.web.ZoomFactor(), percent / 100.0);
        QCOMPARE(StatusText(w.frm), QStringLiteral("Zoom : %1 %").arg(percent));
    }

    void zoomLimitAsksNothingMore() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(w.frm.WB, Qt::Key_Minus, Qt::ControlModifier);
        }
        QCOMPARE(w.web.Calls.count("SetZoomFactor(0.25)"), 1);
        QCOMPARE(w.web.Calls.filter("SetZoomFactor").size(), 7);
        QTest::keyClick(w.frm.WB, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(w.web.Calls.filter("SetZoomFactor").size(), 7);
        QCOMPARE(StatusText(w.frm), QStringLiteral("Zoom : 25 %"));
    }

    void zoomKeptAcrossNavigation() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        w.frm.Tools().SetZoom(150);
        // An engine that keeps the scale is left alone.
        w.web.Calls.clear();
        w.web.RaiseNavigateComplete();
        QVERIFY(w.web.Calls.filter("SetZoomFactor").isEmpty());
        // One that gave the new page its own is set back.
        w.web.Zoom = 1.0;
        w.web.RaiseNavigateComplete();
        QCOMPARE(w.web.Calls.filter("SetZoomFactor"), QStringList{"SetZoomFactor(1.5)"});
        QCOMPARE(w.web.ZoomFactor(), 1.5);
    }

    void zoomTextGoesAfterAWhile() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        QTest::keyClick(w.frm.WB, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(StatusText(w.frm), QStringLiteral("Zoom : 110 %"));
        QTest::qWait(browser::PageTools::kZoomTextMs / 2);
        QCOMPARE(StatusText(w.frm), QStringLiteral("Zoom : 110 %"));
        QTRY_COMPARE_WITH_TIMEOUT(StatusText(w.frm), QString(), browser::PageTools::kZoomTextMs);
    }

    void pageStatusTextReplacesZoomText() {
        MainWindowFixture w;
        QVERIFY(w.Show());
        QTest::keyClick(w.frm.WB, Qt::Key_Minus, Qt::ControlModifier);
        const QString link = QStringLiteral("http://127.0.0.1:8080/lien.html");
        w.web.RaiseStatusTextChange(link);
        QCOMPARE(StatusText(w.frm), link);
        QCOMPARE(w.frm.LastLinkUrl, link);
        QTest::qWait(browser::PageTools::kZoomTextMs + 300);
        QCOMPARE(StatusText(w.frm), link);
    }
};

QTEST_MAIN(TestMainWindowKeys)
#include "tst_mainwindow_keys.moc"
