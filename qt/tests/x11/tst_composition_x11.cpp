// Pages on a display whose OpenGL is only Mesa's software renderer, as on this Xvfb: the engine
// composes in software, no OpenGL library is mapped into the process, and what a page or the
// PDF viewer draws reaches the screen. Apart from the other X11 tests: it checks the process.
#include "qt/platform/QtWebView.h"
#include "qt/tests/support/EngineView.h"
#include "support/TestServer.h"

#include <QFile>
#include <QQuickWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

platform::CompositionPlan Plan; // settled before the application object, as the program does

// The OpenGL implementations mapped (the dispatch libraries Qt links load none on their own).
QByteArray OpenGLMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    QByteArray found = maps.open(QIODevice::ReadOnly) ? QByteArray() : "/proc/self/maps unreadable";
    for (const QByteArray& line : maps.readAll().split('\n'))
        for (const char* name : {"/libGL.so", "/libGLX_", "/libEGL_", "/libglapi", "/libLLVM",
                                 "_dri.so", "/libgallium"})
            if (line.contains(name))
                found += line.mid(line.indexOf('/')) + ' ';
    return found;
}

} // namespace

class TestCompositionX11 : public QObject {
    Q_OBJECT
public:
    static void initMain() { Plan = PrepareEngineTest(); }

private:
    TestServer server;
    QWidget window;
    platform::QtWebView* view = new platform::QtWebView({}, &window);

private slots:
    void initTestCase() {
        QVERIFY(server.Listen());
        window.resize(800, 600);
        view->resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!Plan.QtOpenGL);
        QCOMPARE(platform::ChooseComposition(Plan), platform::Composition::Software);
        QCOMPARE(QQuickWindow::sceneGraphBackend(), QStringLiteral("software"));
    }

    // Each page replaces the one before in the same view; no OpenGL library is mapped then.
    void pageReachesScreen_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("colour");
        const QString filled =
            QStringLiteral("data:text/html,<body style='margin:0;background:%23%1'></body>");
        QTest::newRow("green") << filled.arg("00c000") << "#00c000";
        QTest::newRow("then blue") << filled.arg("2040e0") << "#2040e0";
        QTest::newRow("PDF viewer") << server.Url("/pdf").toString() << "#ff0000";
    }
    void pageReachesScreen() {
        QFETCH(QString, page);
        QFETCH(QString, colour);
        QSignalSpy loaded(view, &platform::WebView::DownloadComplete);
        view->Navigate(page);
        QVERIFY(loaded.wait(60000));
        const auto centre = [&] {
            const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
            return shot.isNull() ? QColor() : shot.pixelColor(shot.width() / 2, shot.height() / 2);
        };
        QTRY_COMPARE_WITH_TIMEOUT(centre(), QColor(colour), 60000);
        QCOMPARE(OpenGLMapped(), QByteArray());
    }
};

QTEST_MAIN(TestCompositionX11)
#include "tst_composition_x11.moc"
