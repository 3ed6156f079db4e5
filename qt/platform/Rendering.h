#pragma once
// How the engine's pages reach the screen: through OpenGL, or composed on the CPU.
//
// Where the display's OpenGL draws on the CPU (a virtual machine, a remote session, Xvfb) or is
// missing, the engine composes its pages in software and Qt paints them as images: composing
// each frame on the CPU once, rather than once in the engine and again through a software
// OpenGL for the whole window, which takes about three times the processor time. The choice is
// made before the application object exists, from what the X server answers, so that on such a
// display Qt starts without its OpenGL integration and no OpenGL library is ever loaded (Mesa's
// software OpenGL with LLVM costs the process about 55 MiB and 40 ms). Where the answers cannot
// tell, Qt starts with OpenGL and the renderer's name decides, once the application exists.

#include <QByteArray>
#include <optional>

namespace platform {

enum class Composition { OpenGL, Software };

// True when an OpenGL renderer name (GL_RENDERER) is one of the implementations that draw on
// the CPU: Mesa's llvmpipe, softpipe and swrast, SwiftShader, and the like.
bool IsSoftwareRenderer(const QByteArray& renderer);

// The composition for a display whose OpenGL renderer is `renderer` (empty: no OpenGL at all).
Composition CompositionFor(const QByteArray& renderer);

// What the X server tells about its OpenGL, asked without loading any OpenGL library.
struct DisplayOpenGL {
    bool Answered = false; // an X server was asked; false: Qt will not use X, or none answered
    QByteArray
        GlxVendor;     // the GLX server's vendor: "SGI" is the X server's own (Mesa); empty: no GLX
    bool Dri2 = false; // the server offers DRI2
    bool Dri3 = false; // the server offers DRI3
    QByteArray Driver; // kernel driver of the device DRI3 handed out; empty: none handed out
};

// The user's own choices: QT_QUICK_BACKEND, QT_XCB_GL_INTEGRATION, LIBGL_ALWAYS_SOFTWARE.
struct CompositionSettings {
    QByteArray QuickBackend;
    QByteArray XcbGlIntegration;
    QByteArray AlwaysSoftware;
};

struct CompositionPlan {
    // Empty: the renderer decides, read once the application exists.
    std::optional<Composition> Known;
    // Qt loads its OpenGL integration; false: QT_XCB_GL_INTEGRATION=none.
    bool QtOpenGL = true;
};

// The plan for a display and the user's choices. Software where the user asks for it
// (QT_QUICK_BACKEND=software, QT_XCB_GL_INTEGRATION=none, LIBGL_ALWAYS_SOFTWARE) or where the
// display's OpenGL can only be Mesa's software renderer; another QT_QUICK_BACKEND leaves the
// choice to Qt. Qt starts without OpenGL exactly where the composition is software, unless
// the user chose QT_XCB_GL_INTEGRATION.
CompositionPlan PlanComposition(const CompositionSettings& settings, const DisplayOpenGL& display);

// Asks the X server of $DISPLAY, unless QT_QPA_PLATFORM names another platform.
DisplayOpenGL AskDisplayOpenGL();

// Call before the application object exists: plans from the display and the environment, and
// where the composition is software sets it, with QT_XCB_GL_INTEGRATION=none where Qt needs
// no OpenGL. Returns the plan for ChooseComposition.
CompositionPlan PrepareComposition();

// Call once the application object exists and before the first web view: where the plan left
// the composition open, the renderer of the application's shared OpenGL context decides.
// Returns the composition in use.
Composition ChooseComposition(const CompositionPlan& plan);

} // namespace platform
