// The zoom steps, their limits, and the texts of the zoom and of the find bar's count.
#include "browser/FindBar.h"
#include "browser/Zoom.h"

#include <QTest>

class TestZoom : public QObject {
    Q_OBJECT
private slots:
    void steps_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::newRow("default") << 100 << 110 << 90;
        QTest::newRow("smallest stays") << 25 << 33 << 25;
        QTest::newRow("largest stays") << 500 << 500 << 400;
        QTest::newRow("one below largest") << 400 << 500 << 300;
        QTest::newRow("second") << 33 << 50 << 25;
        QTest::newRow("between steps") << 120 << 125 << 110;
        QTest::newRow("below the range") << 10 << 25 << 25;
        QTest::newRow("above the range") << 900 << 500 << 500;
    }
    void steps() {
        QFETCH(int, percent);
        QFETCH(int, next);
        QFETCH(int, previous);
        QCOMPARE(browser::NextZoomStep(percent), next);
        QCOMPARE(browser::PreviousZoomStep(percent), previous);
    }

    void everyStepReachedInOrder() {
        QList<int> up{browser::kZoomSteps.front()};
        while (browser::NextZoomStep(up.back()) != up.back()) {
            up << browser::NextZoomStep(up.back());
        }
        QList<int> down{browser::kZoomSteps.back()};
        while (browser::PreviousZoomStep(down.back()) != down.back()) {
            down << browser::PreviousZoomStep(down.back());
        }
        std::reverse(down.begin(), down.end());
        QCOMPARE(up, QList<int>(browser::kZoomSteps.begin(), browser::kZoomSteps.end()));
        QCOMPARE(down, up);
        QVERIFY(up.contains(browser::kZoomDefault));
    }

    void zoomText() { QCOMPARE(browser::ZoomText(125), QStringLiteral("Zoom : 125 %")); }

    void matchCount_data() {
        QTest::addColumn<int>("matches");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << QStringLiteral("Aucun résultat");
        QTest::newRow("one") << 1 << QStringLiteral("1 résultat");
        QTest::newRow("several") << 3 << QStringLiteral("3 résultats");
        QTest::newRow("many") << 1250 << QStringLiteral("1250 résultats");
    }
    void matchCount() {
        QFETCH(int, matches);
        QFETCH(QString, text);
        QCOMPARE(browser::MatchCountText(matches), text);
    }
};

QTEST_GUILESS_MAIN(TestZoom)
#include "tst_zoom.moc"
