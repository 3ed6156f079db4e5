// Which OpenGL renderers count as drawing on the CPU, and the composition each display gets:
// planned before the application exists from the X server's answers and the user's choices,
// or left to the renderer.
#include "platform/Rendering.h"

#include <QTest>

using platform::Composition;
using platform::CompositionSettings;
using platform::DisplayOpenGL;

Q_DECLARE_METATYPE(Composition)
Q_DECLARE_METATYPE(DisplayOpenGL)
Q_DECLARE_METATYPE(CompositionSettings)

namespace {

// What Xvfb, VNC and remote-desktop servers answer: the X server's own GLX, no device.
const DisplayOpenGL kCpuOnly{true, "SGI", false, false, {}};

// A display whose DRI3 hands out a device of `driver`.
DisplayOpenGL Dri3(const char* driver) {
    return {true, "SGI", true, true, driver};
}

QString Describe(const std::optional<Composition>& known) {
    if (!known) {
        return QStringLiteral("renderer decides");
    }
    return *known == Composition::Software ? QStringLiteral("software") : QStringLiteral("OpenGL");
}

} // namespace

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

    void planFromDisplay_data() {
        QTest::addColumn<DisplayOpenGL>("display");
        QTest::addColumn<CompositionSettings>("settings");
        QTest::addColumn<QString>("composition");
        QTest::addColumn<bool>("qtOpenGL");
        const CompositionSettings none;
        const QString software = "software";
        const QString renderer = "renderer decides";
        QTest::newRow("llvmpipe (Xvfb)") << kCpuOnly << none << software << false;
        QTest::newRow("no GLX, no DRI")
            << DisplayOpenGL{true, {}, false, false, {}} << none << software << false;
        QTest::newRow("NVIDIA's GLX") << DisplayOpenGL{true, "NVIDIA Corporation", false, false, {}}
                                      << none << renderer << true;
        QTest::newRow("i915") << Dri3("i915") << none << renderer << true;
        QTest::newRow("amdgpu") << Dri3("amdgpu") << none << renderer << true;
        QTest::newRow("nouveau") << Dri3("nouveau") << none << renderer << true;
        // 3D on the host's card, or llvmpipe when the machine has none: the renderer tells.
        QTest::newRow("virtio_gpu") << Dri3("virtio_gpu") << none << renderer << true;
        QTest::newRow("vmwgfx") << Dri3("vmwgfx") << none << renderer << true;
        QTest::newRow("display-only device") << Dri3("qxl") << none << software << false;
        QTest::newRow("DRI3 without a device (remote)")
            << DisplayOpenGL{true, "SGI", false, true, {}} << none << renderer << true;
        QTest::newRow("DRI2 only")
            << DisplayOpenGL{true, "SGI", true, false, {}} << none << renderer << true;
        QTest::newRow("no X server") << DisplayOpenGL{} << none << renderer << true;
        QTest::newRow("LIBGL_ALWAYS_SOFTWARE=1")
            << Dri3("i915") << CompositionSettings{{}, {}, "1"} << software << false;
        QTest::newRow("LIBGL_ALWAYS_SOFTWARE=0")
            << Dri3("i915") << CompositionSettings{{}, {}, "0"} << renderer << true;
        QTest::newRow("QT_QUICK_BACKEND=software")
            << Dri3("i915") << CompositionSettings{"software", {}, {}} << software << false;
        QTest::newRow("QT_QUICK_BACKEND other: Qt chooses")
            << kCpuOnly << CompositionSettings{"rhi", {}, {}} << "OpenGL" << true;
        QTest::newRow("QT_XCB_GL_INTEGRATION=none")
            << Dri3("i915") << CompositionSettings{{}, "none", {}} << software << false;
        QTest::newRow("QT_XCB_GL_INTEGRATION kept on llvmpipe")
            << kCpuOnly << CompositionSettings{{}, "xcb_glx", {}} << software << true;
        QTest::newRow("QT_XCB_GL_INTEGRATION kept on i915")
            << Dri3("i915") << CompositionSettings{{}, "xcb_egl", {}} << renderer << true;
    }
    void planFromDisplay() {
        QFETCH(DisplayOpenGL, display);
        QFETCH(CompositionSettings, settings);
        QFETCH(QString, composition);
        QFETCH(bool, qtOpenGL);
        const platform::CompositionPlan plan = platform::PlanComposition(settings, display);
        QCOMPARE(Describe(plan.Known), composition);
        QCOMPARE(plan.QtOpenGL, qtOpenGL);
    }
};

QTEST_GUILESS_MAIN(TestRendering)
#include "tst_rendering.moc"
