// Pages on a display whose OpenGL can only be Mesa's software renderer, as on this Xvfb: the
// composition is settled before the application exists, the engine composes in software, no
// OpenGL library is loaded, and what a page or the PDF viewer draws reaches the screen.
#include "platform/Rendering.h"
#include "support/ShownWebView.h"
#include "support/TestServer.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QQuickWindow>
#include <QScreen>
#include <QTest>
#include <array>
#include <memory>

namespace {

platform::CompositionPlan Plan; // made before the application object, as the program does

// The colour at the centre of the window, as the X server shows it.
QColor OnScreen(QWidget& window) {
    const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
    return shot.isNull() ? QColor() : shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

// The OpenGL implementations mapped in this process. The dispatch libraries Qt links
// (libGLX.so.0, libEGL.so.1, libOpenGL.so.0, libGLdispatch) load none on their own.
QStringList OpenGLMapped() {
    static constexpr std::array<const char*, 7> kImplementations = {
        "/libGL.so", "/libGLX_", "/libEGL_", "/libglapi", "/libLLVM", "_dri.so", "/libgallium"};
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("(/proc/self/maps unreadable)")};
    }
    QStringList found;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QByteArray path = line.mid(line.indexOf('/'));
        for (const char* name : kImplementations) {
            if (path.contains(name) && !found.contains(QString::fromUtf8(path))) {
                found << QString::fromUtf8(path);
            }
        }
    }
    return found;
}

} // namespace

class TestCompositionX11 : public QObject {
    Q_OBJECT
public:
    static void initMain() { Plan = PrepareEngineTest(); }

private:
    std::unique_ptr<ShownWebView> Shown; // one view: each page replaces the one before
    TestServer Server;

    // A page all of one colour.
    static QString Filled(const char* colour) {
        return QStringLiteral("data:text/html,<body style='margin:0;background:%1'></body>")
            .arg(QString::fromLatin1(colour).replace(QLatin1Char('#'), QLatin1String("%23")));
    }

private slots:
    void initTestCase() { QVERIFY(Server.Listen()); }

    void softwareOpenGLGivesSoftwareComposition() {
        QVERIFY(!Plan.QtOpenGL);
        QCOMPARE(platform::ChooseComposition(Plan), platform::Composition::Software);
        QCOMPARE(QQuickWindow::sceneGraphBackend(), QStringLiteral("software"));
    }

    void pageReachesTheScreen_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("colour");
        QTest::newRow("green") << Filled("#00c000") << "#00c000";
        QTest::newRow("then blue") << Filled("#2040e0") << "#2040e0";
        QTest::newRow("PDF viewer") << Server.Url("/pdf").toString() << "#ff0000";
    }
    void pageReachesTheScreen() {
        QFETCH(QString, page);
        QFETCH(QString, colour);
        if (!Shown) {
            Shown = std::make_unique<ShownWebView>();
        }
        QVERIFY(Shown->Load(page));
        QTRY_COMPARE_WITH_TIMEOUT(OnScreen(*Shown->Window), QColor(colour), 10000);
        const QStringList mapped = OpenGLMapped();
        QVERIFY2(mapped.isEmpty(), qPrintable(mapped.join(QStringLiteral(", "))));
    }

    void cleanupTestCase() { Shown.reset(); }
};

QTEST_MAIN(TestCompositionX11)
#include "tst_composition_x11.moc"
