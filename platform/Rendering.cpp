#include "platform/Rendering.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>
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

Composition ChooseComposition() {
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        return qEnvironmentVariable("QT_QUICK_BACKEND") == QLatin1String("software")
                   ? Composition::Software
                   : Composition::OpenGL;
    }
    const Composition composition = CompositionFor(OpenGLRenderer());
    if (composition == Composition::Software) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
    return composition;
}

} // namespace platform
