#pragma once
// How the engine's pages reach the screen: through OpenGL, or composed on the CPU.

#include <QByteArray>

namespace platform {

enum class Composition { OpenGL, Software };

// True when an OpenGL renderer name (GL_RENDERER) is one of the implementations that draw on
// the CPU: Mesa's llvmpipe, softpipe and swrast, SwiftShader, and the like.
bool IsSoftwareRenderer(const QByteArray& renderer);

// The composition for a display whose OpenGL renderer is `renderer` (empty: no OpenGL at all).
Composition CompositionFor(const QByteArray& renderer);

// Call once the application object exists and before the first web view. Where the display's
// OpenGL draws on the CPU (a virtual machine, a remote session, Xvfb) or is missing, the engine
// composes its pages in software and Qt paints them as images: composing each frame on the CPU
// once, rather than once in the engine and again through a software OpenGL for the whole
// window, which takes about three times the processor time. A choice made by the user through
// QT_QUICK_BACKEND is kept. Returns the composition in use.
Composition ChooseComposition();

} // namespace platform
