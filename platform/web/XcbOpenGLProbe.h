#pragma once
// Asks the X server of $DISPLAY about its OpenGL (GLX vendor, DRI2/DRI3, the device DRI3 hands
// out) through xcb, without loading any OpenGL library.

#include "platform/web/EngineChoice.h"

namespace platform {

DisplayOpenGL AskDisplayOpenGL();

} // namespace platform
