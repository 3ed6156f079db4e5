// The main window's layout rule: the pure rule on twips, and the window applying it.
#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "fakes/FakeWebView.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace {

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

// Client size in pixels for an outer size in twips, with the designed frame (+120, +510).
QSize ClientFor(float outerWidth, float outerHeight) {
    return {platform::TwipsToPixelsX(outerWidth - 120),
            platform::TwipsToPixelsY(outerHeight - 510)};
}

} // namespace

class TestMainWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void rule_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("widen");
        QTest::addColumn<float>("webWidth");
        QTest::addColumn<float>("webHeight");
        QTest::addColumn<float>("closeLeft");
        QTest::addColumn<float>("progressWidth");
        QTest::newRow("narrow is widened")
            << 14000.f << 8280.f << 0 << true << 14860.f << 6720.f << 13900.f << 2700.f;
        QTest::newRow("at the minimum")
            << 15000.f << 8280.f << 0 << false << 14860.f << 6720.f << 13900.f << 2700.f;
        QTest::newRow("wide") << 20000.f << 12000.f << 0 << false << 19860.f << 10440.f << 18900.f
                              << 7700.f;
        QTest::newRow("design size")
            << 14685.f << 8280.f << 0 << true << 14860.f << 6720.f << 13900.f << 2700.f;
        QTest::newRow("maximized")
            << 28800.f << 16200.f << 2 << false << 28660.f << 14640.f << 27700.f << 16500.f;
        QTest::newRow("height at 1560")
            << 16000.f << 1560.f << 0 << false << 15860.f << 0.f << 14900.f << 3700.f;
        QTest::newRow("height below 1560")
            << 16000.f << 900.f << 0 << false << 15860.f << 0.f << 14900.f << 3700.f;
    }
    void rule() {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(int, state);
        QFETCH(bool, widen);
        QFETCH(float, webWidth);
        QFETCH(float, webHeight);
        QFETCH(float, closeLeft);
        QFETCH(float, progressWidth);
        const browser::LayoutResult r =
            browser::FormResizeLayout({width, height, state, 10080.f, 960.f});
        QVERIFY(r.Apply);
        QCOMPARE(r.WidenWindow, widen);
        QCOMPARE(r.WebViewWidth, webWidth);
        QCOMPARE(r.WebViewHeight, webHeight);
        QCOMPARE(r.CloseButtonLeft, closeLeft);
        QCOMPARE(r.ProgressLeft, 11100.f);
        QCOMPARE(r.ProgressWidth, progressWidth);
    }

    void ruleLeavesMinimizedAlone() {
        const browser::LayoutResult r =
            browser::FormResizeLayout({100.f, 100.f, 1, 10080.f, 960.f});
        QVERIFY(!r.Apply);
        QVERIFY(!r.WidenWindow);
    }

    // The window itself: its controls' twips model and their pixels.
    void windowWidenedToMinimum() {
        BrowserFrm frm(MakeFake);
        frm.resize(ClientFor(13995, 8280));
        frm.Form_Resize();
        QCOMPARE(frm.FormWidth(), 15000.f);
        QCOMPARE(frm.Twips(frm.WB).Width, 14860.f);
        QCOMPARE(frm.Twips(frm.WB).Left, 0.f);
        QCOMPARE(frm.Twips(frm.WB).Top, 795.f);
        QCOMPARE(frm.Twips(frm.Bouton[0]).Left, 13900.f);
        QCOMPARE(frm.Twips(frm.PBar).Left, 11100.f);
        QCOMPARE(frm.Twips(frm.PBar).Width, 2700.f);
        QCOMPARE(frm.Twips(frm.PBar).Top, 240.f);
        QCOMPARE(frm.Twips(frm.PBar).Height, 315.f);
        QCOMPARE(frm.Bouton[0]->x(), qRound(13900 / 15.0));
    }

    void windowWide() {
        BrowserFrm frm(MakeFake);
        frm.resize(ClientFor(20010, 12015));
        frm.Form_Resize();
        QCOMPARE(frm.FormWidth(), 20010.f);
        QCOMPARE(frm.Twips(frm.WB).Width, 19870.f);
        QCOMPARE(frm.Twips(frm.WB).Height, 10455.f);
        QCOMPARE(frm.Twips(frm.Bouton[0]).Left, 18910.f);
        QCOMPARE(frm.Twips(frm.PBar).Left, 11100.f);
        QCOMPARE(frm.Twips(frm.PBar).Width, 7710.f);
        // Docked status bar: bottom edge, full width; the web view ends at its top edge.
        QCOMPARE(frm.StatusBar->geometry(), QRect(0, frm.height() - 17, frm.width(), 17));
        QCOMPARE(frm.WB->geometry().bottom() + 1, frm.StatusBar->y());
        // Buttons 1 to 11 keep their places.
        QCOMPARE(frm.Twips(frm.Bouton[10]).Left, 10080.f);
        QCOMPARE(frm.Bouton[5]->geometry(), QRect(264, 0, 80, 53));
    }

    // Shown, the window's real frame (if the window system reports one) gives the outer size.
    void shownAtDesignSizeReachesMinimum() {
        BrowserFrm frm(MakeFake);
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTRY_COMPARE(frm.FormWidth(), 15000.f);
        const float width = frm.FormWidth();
        const float height = frm.FormHeight();
        QCOMPARE(frm.Twips(frm.WB).Width, width - 140);
        QCOMPARE(frm.Twips(frm.WB).Height, height - 1560);
        QCOMPARE(frm.Twips(frm.Bouton[0]).Left, width - 1100);
        QCOMPARE(frm.Twips(frm.PBar).Width, 2700.f);
        QCOMPARE(frm.StatusBar->geometry(), QRect(0, frm.height() - 17, frm.width(), 17));
    }

    void negativeHeightAvoided() {
        BrowserFrm frm(MakeFake);
        frm.resize(ClientFor(16005, 960));
        frm.Form_Resize();
        QCOMPARE(frm.Twips(frm.WB).Height, 0.f);
        QCOMPARE(frm.WB->height(), 0);
    }

    void minimizedUntouchedAndRestoreReapplies() {
        BrowserFrm frm(MakeFake);
        frm.resize(ClientFor(20010, 12015));
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        const float wideWeb = frm.Twips(frm.WB).Width;
        const float wideClose = frm.Twips(frm.Bouton[0]).Left;
        frm.setWindowState(Qt::WindowMinimized);
        QCOMPARE(frm.FormWindowState(), 1);
        frm.resize(ClientFor(18000, 9015));
        QCOMPARE(frm.Twips(frm.WB).Width, wideWeb);
        QCOMPARE(frm.Twips(frm.Bouton[0]).Left, wideClose);
        frm.setWindowState(Qt::WindowNoState);
        const float width = frm.FormWidth();
        QVERIFY(width < 20000);
        QCOMPARE(frm.Twips(frm.WB).Width, width - 140);
        QCOMPARE(frm.Twips(frm.WB).Height, frm.FormHeight() - 1560);
        QCOMPARE(frm.Twips(frm.Bouton[0]).Left, width - 1100);
        QCOMPARE(frm.Twips(frm.PBar).Width, width - 12300);
    }

    void maximizedNarrowerThanMinimum() {
        // The offscreen screen is 800 pixels (12000 twips) wide: the maximized window keeps the
        // screen's width and its controls are laid out for the minimum width.
        BrowserFrm frm(MakeFake);
        frm.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTRY_COMPARE(frm.FormWindowState(), 2);
        QVERIFY(frm.FormWidth() < browser::kMinimumOuterWidth);
        QCOMPARE(frm.Twips(frm.WB).Width, 14860.f);
        QCOMPARE(frm.Twips(frm.Bouton[0]).Left, 13900.f);
        QVERIFY(frm.isMaximized());
    }
};

QTEST_MAIN(TestMainWindowLayout)
#include "tst_mainwindow_layout.moc"
