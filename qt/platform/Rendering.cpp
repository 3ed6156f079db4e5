#include "qt/platform/Rendering.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <algorithm>
#include <array>

namespace platform {

namespace {

// The renderer of the context shared by the application's windows, made with the application
// object: asking it costs a surface only. Without one, a context is made for the question.
QByteArray OpenGLRenderer() {
    QOpenGLContext own;
    QOpenGLContext* context = QOpenGLContext::globalShareContext();
    if (context == nullptr) {
        if (!own.create()) {
            return {};
        }
        context = &own;
    }
    QOffscreenSurface surface;
    surface.setFormat(context->format());
    surface.create();
    if (!surface.isValid() || !context->makeCurrent(&surface)) {
        return {};
    }
    const GLubyte* name = context->functions()->glGetString(GL_RENDERER);
    QByteArray renderer = name != nullptr ? QByteArray(reinterpret_cast<const char*>(name)) : "";
    context->doneCurrent();
    return renderer;
}

// A true value as Mesa reads its boolean variables.
bool MesaTrue(const QByteArray& value) {
    const QByteArray word = value.trimmed().toLower();
    return word == "1" || word == "true" || word == "y" || word == "yes";
}

// Kernel drivers of devices that only show images, with nothing to draw 3D: Mesa draws for them
// on the CPU. The drivers of virtual devices that draw through the host's graphics card
// (virtio_gpu, vmwgfx) are not among them: whether the host gives them 3D, only the renderer's
// name tells ("virgl", "SVGA3D" or "llvmpipe").
bool DisplayOnlyDriver(const QByteArray& driver) {
    static constexpr std::array<const char*, 13> kDisplayOnly = {
        "ast",     "bochs", "bochs-drm",          "cirrus",    "cirrus-qemu", "hyperv_drm",
        "mgag200", "qxl",   "simple-framebuffer", "simpledrm", "udl",         "vboxvideo",
        "vkms"};
    return std::any_of(kDisplayOnly.begin(), kDisplayOnly.end(),
                       [&driver](const char* name) { return driver == name; });
}

// True when the display's OpenGL can only be Mesa drawing on the CPU: the X server's own GLX
// or none, and no device to draw with. A maker's own GLX (NVIDIA's) or a device of a driver
// that may draw (DRI3's, or DRI2 offered) leaves it to the renderer.
bool SoftwareOnly(const DisplayOpenGL& display) {
    if (!display.Answered || (!display.GlxVendor.isEmpty() && display.GlxVendor != "SGI")) {
        return false;
    }
    if (!display.Driver.isEmpty()) {
        return DisplayOnlyDriver(display.Driver);
    }
    return !display.Dri2 && !display.Dri3;
}

} // namespace

bool IsSoftwareRenderer(const QByteArray& renderer) {
    static constexpr std::array<const char*, 6> kSoftware = {
        "llvmpipe", "softpipe", "swrast", "software rasterizer", "swiftshader", "lavapipe"};
    const QByteArray name = renderer.toLower();
    for (const char* software : kSoftware) {
        if (name.contains(software)) {
            return true;
        }
    }
    return false;
}

Composition CompositionFor(const QByteArray& renderer) {
    return renderer.trimmed().isEmpty() || IsSoftwareRenderer(renderer) ? Composition::Software
                                                                        : Composition::OpenGL;
}

CompositionPlan PlanComposition(const CompositionSettings& settings, const DisplayOpenGL& display) {
    CompositionPlan plan;
    if (!settings.QuickBackend.isEmpty()) {
        plan.Known =
            settings.QuickBackend == "software" ? Composition::Software : Composition::OpenGL;
    } else if (settings.XcbGlIntegration == "none" || MesaTrue(settings.AlwaysSoftware) ||
               SoftwareOnly(display)) {
        plan.Known = Composition::Software;
    }
    plan.QtOpenGL = settings.XcbGlIntegration.isEmpty() ? plan.Known != Composition::Software
                                                        : settings.XcbGlIntegration != "none";
    return plan;
}

CompositionPlan PrepareComposition() {
    const CompositionSettings settings{qgetenv("QT_QUICK_BACKEND"),
                                       qgetenv("QT_XCB_GL_INTEGRATION"),
                                       qgetenv("LIBGL_ALWAYS_SOFTWARE")};
    const CompositionPlan plan = PlanComposition(settings, AskDisplayOpenGL());
    if (!plan.QtOpenGL) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
    if (plan.Known == Composition::Software) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
    return plan;
}

Composition ChooseComposition(const CompositionPlan& plan) {
    if (plan.Known) {
        return *plan.Known;
    }
    const Composition composition = CompositionFor(OpenGLRenderer());
    if (composition == Composition::Software) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
    return composition;
}

} // namespace platform
