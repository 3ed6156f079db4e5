// The composition each display gets from the X server's answers and the user's choices.
#include "qt/platform/Rendering.h"

#include <QTest>

using platform::CompositionSettings;
using platform::DisplayOpenGL;

Q_DECLARE_METATYPE(DisplayOpenGL)
Q_DECLARE_METATYPE(CompositionSettings)

class TestRendering : public QObject {
    Q_OBJECT
private slots:
    // composition: as planned, or "renderer: ..." where the renderer's name decides; "no GL":
    // Qt starts without its OpenGL integration.
    void composition_data() {
        QTest::addColumn<DisplayOpenGL>("display");
        QTest::addColumn<CompositionSettings>("settings");
        QTest::addColumn<QByteArray>("renderer");
        QTest::addColumn<QString>("composition");
        const auto row = [](const char* name, DisplayOpenGL display, CompositionSettings settings,
                            QByteArray renderer, QString composition) {
            QTest::newRow(name) << display << settings << renderer << composition;
        };
        const CompositionSettings none;
        const DisplayOpenGL kXvfb{true, "SGI", false, false, {}}; // the X server's GLX, no device
        const auto Dri3 = [](const char* d) { return DisplayOpenGL{true, "SGI", true, true, d}; };
        const char *sw = "software, no GL", *bySw = "renderer: software",
                   *byGl = "renderer: OpenGL";
        const char* hw = "Mesa Intel(R) UHD Graphics 620";
        row("Xvfb: llvmpipe only", kXvfb, none, hw, sw);
        row("NVIDIA's GLX", {true, "NVIDIA Corporation", false, false, {}}, none, hw, byGl);
        row("i915", Dri3("i915"), none, hw, byGl);
        row("display-only device", Dri3("qxl"), none, hw, sw);
        row("DRI3 alone (remote)", {true, "SGI", false, true, {}}, none, "llvmpipe", bySw);
        row("LIBGL_ALWAYS_SOFTWARE=1", Dri3("i915"), {{}, {}, "1"}, hw, sw);
        row("QT_QUICK_BACKEND=software", Dri3("i915"), {"software", {}, {}}, hw, sw);
        row("QT_QUICK_BACKEND other: Qt chooses", kXvfb, {"rhi", {}, {}}, "", "OpenGL");
        row("QT_XCB_GL_INTEGRATION=none", Dri3("i915"), {{}, "none", {}}, hw, sw);
        row("QT_XCB_GL_INTEGRATION kept on llvmpipe", kXvfb, {{}, "xcb_glx", {}}, hw, "software");
        // No X server to ask: the renderer's name decides; hardware drivers name LLVM too.
        row("capitals", {}, none, "LLVMPIPE (LLVM 11.0.1)", bySw);
        row("blank name", {}, none, " \t", bySw);
        row("AMD with LLVM", {}, none, "AMD Radeon RX 6600 (navi23, LLVM 15.0.6)", byGl);
    }
    void composition() {
        QFETCH(DisplayOpenGL, display);
        QFETCH(CompositionSettings, settings);
        QFETCH(QByteArray, renderer);
        QFETCH(QString, composition);
        const auto describe = [](platform::Composition c) -> QString {
            return c == platform::Composition::Software ? "software" : "OpenGL";
        };
        const platform::CompositionPlan plan = platform::PlanComposition(settings, display);
        const QString decided = plan.Known
                                    ? describe(*plan.Known)
                                    : "renderer: " + describe(platform::CompositionFor(renderer));
        QCOMPARE(decided + (plan.QtOpenGL ? "" : ", no GL"), composition);
    }
};

QTEST_GUILESS_MAIN(TestRendering)
#include "tst_rendering.moc"
