// Pages on a display whose OpenGL is Mesa's software renderer, as on this Xvfb: the engine
// composes in software, and what the page draws reaches the screen.
#include "platform/Rendering.h"
#include "support/ShownWebView.h"

#include <QGuiApplication>
#include <QImage>
#include <QQuickWindow>
#include <QScreen>
#include <QTest>
#include <memory>

namespace {

// The colour at the centre of the window, as the X server shows it.
QColor OnScreen(QWidget& window) {
    const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
    return shot.isNull() ? QColor() : shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

} // namespace

class TestCompositionX11 : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    std::unique_ptr<ShownWebView> Shown; // one view: each page replaces the one before

private slots:
    void softwareOpenGLGivesSoftwareComposition() {
        QCOMPARE(platform::ChooseComposition(), platform::Composition::Software);
        QCOMPARE(QQuickWindow::sceneGraphBackend(), QStringLiteral("software"));
    }

    void pageReachesTheScreen_data() {
        QTest::addColumn<QString>("colour");
        QTest::newRow("green") << "#00c000";
        QTest::newRow("then blue") << "#2040e0";
    }
    void pageReachesTheScreen() {
        QFETCH(QString, colour);
        if (!Shown) {
            Shown = std::make_unique<ShownWebView>();
        }
        const QString page =
            QStringLiteral("data:text/html,<body style='margin:0;background:%1'></body>")
                .arg(QString(colour).replace(QLatin1Char('#'), QLatin1String("%23")));
        QVERIFY(Shown->Load(page));
        QTRY_COMPARE_WITH_TIMEOUT(OnScreen(*Shown->Window), QColor(colour), 10000);
    }

    void cleanupTestCase() { Shown.reset(); }
};

QTEST_MAIN(TestCompositionX11)
#include "tst_composition_x11.moc"
