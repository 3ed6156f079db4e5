// Which OpenGL renderers count as drawing on the CPU, and the composition each display gets.
#include "platform/Rendering.h"

#include <QTest>

using platform::Composition;

Q_DECLARE_METATYPE(Composition)

class TestRendering : public QObject {
    Q_OBJECT

private slots:
    void compositionForRenderer_data() {
        QTest::addColumn<QByteArray>("renderer");
        QTest::addColumn<Composition>("composition");
        const auto software = Composition::Software;
        const auto opengl = Composition::OpenGL;
        QTest::newRow("Mesa llvmpipe")
            << QByteArray("llvmpipe (LLVM 15.0.6, 256 bits)") << software;
        QTest::newRow("capitals") << QByteArray("LLVMPIPE (LLVM 11.0.1, 128 bits)") << software;
        QTest::newRow("softpipe") << QByteArray("softpipe") << software;
        QTest::newRow("old Mesa") << QByteArray("Software Rasterizer") << software;
        QTest::newRow("swrast") << QByteArray("Mesa X11 swrast") << software;
        QTest::newRow("SwiftShader") << QByteArray("Google SwiftShader") << software;
        QTest::newRow("no OpenGL") << QByteArray() << software;
        QTest::newRow("blank name") << QByteArray(" \t") << software;
        QTest::newRow("Intel") << QByteArray("Mesa Intel(R) UHD Graphics 620 (KBL GT2)") << opengl;
        // Mesa's hardware drivers name LLVM too: only the CPU renderers count.
        QTest::newRow("AMD") << QByteArray("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)")
                             << opengl;
        QTest::newRow("NVIDIA") << QByteArray("NVIDIA GeForce GTX 1060/PCIe/SSE2") << opengl;
        QTest::newRow("virtual GPU") << QByteArray("virgl (AMD Radeon RX 580)") << opengl;
    }
    void compositionForRenderer() {
        QFETCH(QByteArray, renderer);
        QFETCH(Composition, composition);
        QCOMPARE(platform::CompositionFor(renderer), composition);
    }
};

QTEST_GUILESS_MAIN(TestRendering)
#include "tst_rendering.moc"
