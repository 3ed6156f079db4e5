#pragma once
// Start-up of the web engine: what must be settled before the application object exists, and
// the French texts of Qt and of the engine's own menus.

class QCoreApplication;

namespace platform {

// Call before QApplication is created.
// - As root only, the engine's sandbox cannot run: it is turned off and a line on standard error
//   says so. An ordinary user keeps it.
// - On a Wayland session with DISPLAY set and no platform chosen by the user, the xcb platform is
//   used: window placement and the single-instance search need X11.
// - Share OpenGL contexts (the engine asks for it before the application exists) and ask the
//   engine for French pages of its own (error pages, PDF viewer).
void PrepareEngine();

// Loads Qt's French translations (dialog buttons, file and print dialogs).
void InstallTranslations(QCoreApplication& app);

} // namespace platform
