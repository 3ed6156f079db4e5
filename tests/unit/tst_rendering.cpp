// The composition each display gets: planned before the application exists from the X server's
// answers and the user's choices, or left to the OpenGL renderer's name.
#include "platform/Rendering.h"

#include <QTest>

using platform::CompositionSettings;
using platform::DisplayOpenGL;

Q_DECLARE_METATYPE(DisplayOpenGL)
Q_DECLARE_METATYPE(CompositionSettings)

namespace {

const DisplayOpenGL kXvfb{true, "SGI", false, false, {}}; // the X server's own GLX, no device

DisplayOpenGL Dri3(const char* driver) {
    return {true, "SGI", true, true, driver};
}

QString Describe(platform::Composition composition) {
    return composition == platform::Composition::Software ? "software" : "OpenGL";
}

} // namespace

class TestRendering : public QObject {
    Q_OBJECT
private slots:
    // composition: as planned, or "renderer: ..." where the renderer's name decides.
    void composition_data() {
        QTest::addColumn<DisplayOpenGL>("display");
        QTest::addColumn<CompositionSettings>("settings");
        QTest::addColumn<QByteArray>("renderer");
        QTest::addColumn<QString>("composition");
        QTest::addColumn<bool>("qtOpenGL");
        const auto row = [](const char* name, DisplayOpenGL display, CompositionSettings settings,
                            const char* renderer, const char* composition, bool qtOpenGL) {
            QTest::newRow(name) << display << settings << QByteArray(renderer)
                                << QString(composition) << qtOpenGL;
        };
        const CompositionSettings none;
        const char *sw = "software", *gl = "OpenGL", *bySw = "renderer: software";
        const char* byGl = "renderer: OpenGL";
        const char *hw = "Mesa Intel(R) UHD Graphics 620", *llvmpipe = "llvmpipe (LLVM 15.0.6)";
        row("Xvfb: llvmpipe only", kXvfb, none, hw, sw, false);
        row("no GLX, no DRI", {true, {}, false, false, {}}, none, hw, sw, false);
        row("NVIDIA's GLX", {true, "NVIDIA Corporation", false, false, {}}, none, hw, byGl, true);
        row("i915", Dri3("i915"), none, hw, byGl, true);
        row("display-only device", Dri3("qxl"), none, hw, sw, false);
        row("DRI3 without a device (remote)", {true, "SGI", false, true, {}}, none, llvmpipe, bySw,
            true);
        row("DRI2 only", {true, "SGI", true, false, {}}, none, hw, byGl, true);
        row("LIBGL_ALWAYS_SOFTWARE=1", Dri3("i915"), {{}, {}, "1"}, hw, sw, false);
        row("LIBGL_ALWAYS_SOFTWARE=0", Dri3("i915"), {{}, {}, "0"}, hw, byGl, true);
        row("QT_QUICK_BACKEND=software", Dri3("i915"), {"software", {}, {}}, hw, sw, false);
        row("QT_QUICK_BACKEND other: Qt chooses", kXvfb, {"rhi", {}, {}}, "", gl, true);
        row("QT_XCB_GL_INTEGRATION=none", Dri3("i915"), {{}, "none", {}}, hw, sw, false);
        row("QT_XCB_GL_INTEGRATION kept on llvmpipe", kXvfb, {{}, "xcb_glx", {}}, hw, sw, true);
        // No X server to ask: the renderer's name decides; hardware drivers name LLVM too.
        row("llvmpipe", {}, none, llvmpipe, bySw, true);
        row("capitals", {}, none, "LLVMPIPE (LLVM 11.0.1)", bySw, true);
        row("old Mesa", {}, none, "Software Rasterizer", bySw, true);
        row("no OpenGL", {}, none, "", bySw, true);
        row("blank name", {}, none, " \t", bySw, true);
        row("Intel", {}, none, hw, byGl, true);
        row("AMD with LLVM", {}, none, "AMD Radeon RX 6600 (navi23, LLVM 15.0.6)", byGl, true);
    }
    void composition() {
        QFETCH(DisplayOpenGL, display);
        QFETCH(CompositionSettings, settings);
        QFETCH(QByteArray, renderer);
        QFETCH(QString, composition);
        QFETCH(bool, qtOpenGL);
        const platform::CompositionPlan plan = platform::PlanComposition(settings, display);
        QCOMPARE(plan.Known ? Describe(*plan.Known)
                            : "renderer: " + Describe(platform::CompositionFor(renderer)),
                 composition);
        QCOMPARE(plan.QtOpenGL, qtOpenGL);
    }
};

QTEST_GUILESS_MAIN(TestRendering)
#include "tst_rendering.moc"
