#pragma once
// The engine's start: call PrepareEngine() once, before gtk_init and before the first web view.

namespace platform {

// Sets the locale and LANGUAGE so that GTK's and WebKitGTK's French catalogues are used (even
// where the only locale is C.UTF-8), keeps GTK on X11 unless a backend was chosen, asks the X
// server whether its OpenGL is software only, and decides the web processes' sandbox: on for an
// ordinary user where bwrap and xdg-dbus-proxy are there and user namespaces can be made; off
// otherwise, said in one French line on standard error.
void PrepareEngine();

// True when the display draws OpenGL only on the CPU (decided by PrepareEngine).
bool SoftwareDisplay();

// True when the web processes run in the sandbox (decided by PrepareEngine).
bool SandboxEnabled();

} // namespace platform
