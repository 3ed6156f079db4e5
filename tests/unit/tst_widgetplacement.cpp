// The placement interface on a real top-level widget (offscreen platform): outer bounds in
// twips before and after the window is shown, window states, and bounds that would leave the
// window out of reach.
#include "platform/WidgetPlacement.h"

#include "platform/Twips.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

using platform::KeepOnScreen;
using platform::WidgetPlacement;

namespace {

QRect OuterPixels(const WidgetPlacement& placement) {
    return {platform::TwipsToPixelsX(placement.Left()), platform::TwipsToPixelsY(placement.Top()),
            platform::TwipsToPixelsX(placement.Width()),
            platform::TwipsToPixelsY(placement.Height())};
}

QRect PrimaryArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestWidgetPlacement : public QObject {
    Q_OBJECT
private slots:
    void keepOnScreen_data() {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("placed");
        const QRect primary(0, 0, 1920, 1080);
        const QList<QRect> one{primary};
        const QList<QRect> two{primary, QRect(1920, 0, 1280, 1024)};
        QTest::newRow("on screen") << one << QRect(100, 100, 800, 600) << QRect(100, 100, 800, 600);
        QTest::newRow("partly off")
            << one << QRect(-700, -50, 800, 600) << QRect(-700, -50, 800, 600);
        QTest::newRow("left of every screen")
            << one << QRect(-5000, 100, 800, 600) << QRect(0, 100, 800, 600);
        QTest::newRow("below every screen")
            << one << QRect(100, 5000, 800, 600) << QRect(100, 480, 800, 600);
        QTest::newRow("larger than the screen") << one << QRect(5000, 5000, 3000, 2000) << primary;
        QTest::newRow("on the second screen")
            << two << QRect(2000, 100, 800, 600) << QRect(2000, 100, 800, 600);
        QTest::newRow("wider than every screen")
            << one << QRect(100, 100, 3000, 600) << QRect(0, 100, 1920, 600);
        QTest::newRow("across two screens")
            << two << QRect(100, 100, 3000, 600) << QRect(100, 100, 3000, 600);
        QTest::newRow("second screen gone")
            << one << QRect(2000, 100, 800, 600) << QRect(1120, 100, 800, 600);
    }
    void keepOnScreen() {
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, outer);
        QFETCH(QRect, placed);
        QCOMPARE(KeepOnScreen(outer, screens, screens.first()), placed);
    }

    void designFrameBeforeShown() {
        QWidget window;
        window.resize(400, 300);
        window.move(20, 10);
        WidgetPlacement placement(window);
        QCOMPARE(OuterPixels(placement), QRect(20, 10, 408, 334));
        placement.Move(1500, 750, 6000, 4500);
        QCOMPARE(window.size(), QSize(392, 266));
        QCOMPARE(OuterPixels(placement), QRect(100, 50, 400, 300));
    }

    void boundsOfAShownWindow() {
        QWidget window;
        window.resize(300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WidgetPlacement placement(window);
        placement.Move(1500, 750, 6000, 4500);
        placement.DoEvents();
        QTRY_COMPARE(OuterPixels(placement), QRect(100, 50, 400, 300));
        QCOMPARE(window.frameGeometry(), QRect(100, 50, 400, 300));
    }

    void offScreenBroughtBack() {
        QWidget window;
        WidgetPlacement placement(window);
        placement.Move(-300000, 150000, 6000, 4500);
        const QRect outer = OuterPixels(placement);
        QVERIFY2(PrimaryArea().contains(outer), qPrintable(QDebug::toString(outer)));
        QCOMPARE(outer.size(), QSize(400, 300));
    }

    void unusableSizesKeptSane_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("zero height") << 6000.0 << 0.0;
        QTest::newRow("negative") << -1500.0 << -1e9;
        QTest::newRow("huge") << 1e12 << 1e300;
    }
    void unusableSizesKeptSane() {
        QFETCH(double, width);
        QFETCH(double, height);
        QWidget window;
        WidgetPlacement placement(window);
        placement.Move(0, 0, width, height);
        QVERIFY(window.width() >= 100 && window.height() >= 100);
        QVERIFY(window.width() <= 32767 && window.height() <= 32767);
    }

    void states_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("state");
        QTest::addColumn<Qt::WindowStates>("qtState");
        QTest::newRow("normal") << 0 << 0 << Qt::WindowStates(Qt::WindowNoState);
        QTest::newRow("minimized, returns to maximized")
            << 1 << 1 << (Qt::WindowMinimized | Qt::WindowMaximized);
        QTest::newRow("maximized") << 2 << 2 << Qt::WindowStates(Qt::WindowMaximized);
        QTest::newRow("unknown is normal") << 7 << 0 << Qt::WindowStates(Qt::WindowNoState);
    }
    void states() {
        QFETCH(int, asked);
        QFETCH(int, state);
        QFETCH(Qt::WindowStates, qtState);
        QWidget window;
        WidgetPlacement placement(window);
        placement.SetWindowState(2);
        placement.SetWindowState(asked);
        QCOMPARE(placement.WindowState(), state);
        QCOMPARE(window.windowState(), qtState);
    }

    void fullScreenCountsAsMaximized() {
        QWidget window;
        window.setWindowState(Qt::WindowFullScreen);
        QCOMPARE(WidgetPlacement(window).WindowState(), 2);
    }

    void maximizedStaysMaximizedWhenMoved() {
        QWidget window;
        WidgetPlacement placement(window);
        placement.SetWindowState(2);
        placement.Move(1500, 750, 6000, 4500);
        QCOMPARE(placement.WindowState(), 2);
        placement.SetWindowState(0);
        QCOMPARE(OuterPixels(placement), QRect(100, 50, 400, 300));
    }
};

QTEST_MAIN(TestWidgetPlacement)
#include "tst_widgetplacement.moc"
