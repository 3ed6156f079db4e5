// The main window's layout rule: the pure rule on twips, and the window applying it.
#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "fakes/FakeWebView.h"
#include "platform/Twips.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QProgressBar>
#include <QScreen>
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
    // Steps 2 and 3 (widening and W read again) with a window manager that grants or refuses,
    // then the layout from the width read again.
    void rule_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<int>("state");
        QTest::addColumn<float>("screen");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<float>("asked"); // 0: no request
        QTest::addColumn<float>("webWidth");
        QTest::addColumn<float>("webHeight");
        QTest::addColumn<float>("closeLeft");
        QTest::addColumn<float>("closeWidth");
        QTest::addColumn<float>("progressWidth");
        QTest::newRow("narrow is widened") << 14000.f << 8280.f << 0 << 0.f << true << 15000.f
                                           << 14860.f << 6720.f << 13900.f << 960.f << 2700.f;
        QTest::newRow("at the minimum") << 15000.f << 8280.f << 0 << 0.f << true << 0.f << 14860.f
                                        << 6720.f << 13900.f << 960.f << 2700.f;
        QTest::newRow("wide") << 20000.f << 12000.f << 0 << 28800.f << true << 0.f << 19860.f
                              << 10440.f << 18900.f << 960.f << 7700.f;
        QTest::newRow("design size") << 14685.f << 8280.f << 0 << 28800.f << true << 15000.f
                                     << 14860.f << 6720.f << 13900.f << 960.f << 2700.f;
        QTest::newRow("maximized") << 28800.f << 16200.f << 2 << 28800.f << true << 0.f << 28660.f
                                   << 14640.f << 27700.f << 960.f << 16500.f;
        QTest::newRow("height at 1560") << 16000.f << 1560.f << 0 << 0.f << true << 0.f << 15860.f
                                        << 0.f << 14900.f << 960.f << 3700.f;
        QTest::newRow("height below 1560") << 16000.f << 900.f << 0 << 0.f << true << 0.f << 15860.f
                                           << 0.f << 14900.f << 960.f << 3700.f;
        // Narrower than the minimum: laid out at the width the window really has.
        QTest::newRow("widening refused") << 14000.f << 8280.f << 0 << 0.f << false << 15000.f
                                          << 13860.f << 6720.f << 12900.f << 960.f << 1700.f;
        // Narrower than the toolbar's row (12000 twips to the web view's right edge): the buttons
        // are narrowed alike, by (width - 140) / 12000, and the close button ends the row.
        QTest::newRow("widened to a narrow screen")
            << 11000.f << 8280.f << 0 << 12000.f << true << 12000.f << 11860.f << 6720.f << 10911.2f
            << 948.8f << 0.f;
        QTest::newRow("at a narrow screen's width")
            << 12000.f << 8280.f << 0 << 12000.f << true << 0.f << 11860.f << 6720.f << 10911.2f
            << 948.8f << 0.f;
        QTest::newRow("maximized at 800 x 600") << 12120.f << 8490.f << 2 << 12120.f << true << 0.f
                                                << 11980.f << 6930.f << 11021.6f << 958.4f << 0.f;
        QTest::newRow("maximized at scale factor 2")
            << 14520.f << 8100.f << 2 << 14520.f << true << 0.f << 14380.f << 6540.f << 13420.f
            << 960.f << 2220.f;
        QTest::newRow("half of a 1366-pixel screen")
            << 10365.f << 8100.f << 0 << 20490.f << false << 15000.f << 10225.f << 6540.f << 9407.f
            << 818.f << 0.f;
    }
    void rule() {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(int, state);
        QFETCH(float, screen);
        QFETCH(bool, granted);
        QFETCH(float, asked);
        QFETCH(float, webWidth);
        QFETCH(float, webHeight);
        QFETCH(float, closeLeft);
        QFETCH(float, closeWidth);
        QFETCH(float, progressWidth);
        browser::LayoutInput input{width, height, state};
        input.ScreenWidth = screen;
        browser::Widening widening;
        float request = 0;
        input.OuterWidth = widening.Widen(input, [&](float target) {
            request = target;
            return granted ? target : width;
        });
        // Bouton(10) as the window places it before the rule reads it.
        const float scale = browser::ToolbarScale(input.OuterWidth);
        input.AboutButtonLeft = 10080 * scale;
        input.AboutButtonWidth = 960 * scale;
        QCOMPARE(request, asked);
        const browser::LayoutResult r = browser::FormResizeLayout(input);
        QVERIFY(r.Apply);
        QCOMPARE(r.WebViewWidth, webWidth);
        QCOMPARE(r.WebViewHeight, webHeight);
        QCOMPARE(r.CloseButtonLeft, closeLeft);
        QCOMPARE(r.CloseButtonWidth, closeWidth);
        QCOMPARE(r.ProgressLeft, input.AboutButtonLeft + input.AboutButtonWidth + 60);
        QCOMPARE(r.ProgressWidth, progressWidth);
    }

    void ruleLeavesMinimizedAlone() {
        browser::Widening widening;
        const browser::LayoutInput input{100.f, 100.f, 1, 10080.f, 960.f};
        bool asked = false;
        QCOMPARE(widening.Widen(input, [&](float width) { return asked = true, width; }), 100.f);
        QVERIFY(!asked);
        QVERIFY(!browser::FormResizeLayout(input).Apply);
    }

    // The widths the window manager reports, one size change after another: each request for
    // the minimum width is granted at once (the window then reports that width and lays itself
    // out again inside the request); a width that comes back after a request was refused.
    void widthRequestsBounded_data() {
        QTest::addColumn<QList<float>>("widths");
        QTest::addColumn<int>("requests");
        QTest::newRow("tiling keeps its tile") << QList<float>{14000, 14000, 14000, 14000} << 1;
        QTest::newRow("another tile asks once more")
            << QList<float>{14000, 14000, 13000, 13000, 13000} << 2;
        QTest::newRow("granted, then narrowed again") << QList<float>{14000, 15000, 14000} << 2;
    }
    void widthRequestsBounded() {
        QFETCH(QList<float>, widths);
        QFETCH(int, requests);
        browser::Widening widening;
        int asked = 0;
        browser::Widening::SetWidth setWidth = [&](float target) {
            ++asked;
            // The nested pass that setting the width raises asks nothing.
            return widening.Widen({target, 8280, 0}, setWidth);
        };
        for (const float width : widths) {
            widening.Widen({width, 8280, 0}, setWidth);
        }
        QCOMPARE(asked, requests);
    }

    // The window itself: its controls' twips model and their pixels. The offscreen screen is
    // 800 x 600 pixels: 12000 twips wide, less than the minimum width.
    void windowWidenedToTheScreen() {
        BrowserFrm frm(MakeFake);
        frm.resize(ClientFor(10995, 8280));
        frm.Form_Resize();
        QCOMPARE(frm.FormWidth(), 12000.f);
        QCOMPARE(frm.Twips(frm.WB).Width, 11860.f);
        QCOMPARE(frm.Twips(frm.WB).Left, 0.f);
        QCOMPARE(frm.Twips(frm.WB).Top, 795.f);
        QCOMPARE(frm.Twips(frm.Bouton[0]).Left, 10911.2f);
        QCOMPARE(frm.Twips(frm.PBar).Width, 0.f);
        QCOMPARE(frm.Twips(frm.PBar).Top, 240.f);
        QCOMPARE(frm.Twips(frm.PBar).Height, 315.f);
        QCOMPARE(frm.Bouton[0]->x(), qRound(10911.2 / 15.0));
        QVERIFY2(ControlsMisplaced(frm).isEmpty(), qPrintable(ControlsMisplaced(frm)));
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

    // Shown at its design size, the window asks for no more than the screen holds.
    void shownAtDesignSizeFitsTheScreen() {
        BrowserFrm frm(MakeFake);
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QVERIFY(frm.screen()->availableGeometry().contains(frm.frameGeometry()));
        const float width = frm.FormWidth();
        const float height = frm.FormHeight();
        QCOMPARE(frm.Twips(frm.WB).Width, width - 140);
        QCOMPARE(frm.Twips(frm.WB).Height, height - 1560);
        QCOMPARE(frm.StatusBar->geometry(), QRect(0, frm.height() - 17, frm.width(), 17));
        QVERIFY2(ControlsMisplaced(frm).isEmpty(), qPrintable(ControlsMisplaced(frm)));
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
        // The maximized window keeps the screen's width, and is laid out at that width.
        BrowserFrm frm(MakeFake);
        frm.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTRY_COMPARE(frm.FormWindowState(), 2);
        QVERIFY(frm.FormWidth() < browser::kMinimumOuterWidth);
        QCOMPARE(frm.Twips(frm.WB).Width, frm.FormWidth() - 140);
        QVERIFY2(ControlsMisplaced(frm).isEmpty(), qPrintable(ControlsMisplaced(frm)));
        QVERIFY(frm.isMaximized());
    }
};

QTEST_MAIN(TestMainWindowLayout)
#include "tst_mainwindow_layout.moc"
