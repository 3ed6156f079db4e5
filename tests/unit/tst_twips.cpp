// Twips and pixels through the screen's logical DPI.
#include "platform/Twips.h"

#include <QApplication>
#include <QTest>

class TestTwips : public QObject {
    Q_OBJECT
private slots:
    void conversion_data() {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0.0 << 0;
        QTest::newRow("button") << 960.0 << 64;
        QTest::newRow("toolbar row") << 795.0 << 53;
        QTest::newRow("negative") << -1500.0 << -100;
    }
    void conversion() {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(platform::TwipsPerPixelX(), 15.0); // offscreen screens report 96 DPI
        QCOMPARE(platform::TwipsToPixelsX(twips), pixels);
        QCOMPARE(platform::TwipsToPixelsY(twips), pixels);
    }
};

QTEST_MAIN(TestTwips)
#include "tst_twips.moc"
