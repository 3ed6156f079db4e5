#pragma once
// The window toolkit as the program entry needs it: started once, its event loop run until the
// main window asks it to end, and the one message box of the load sequence.

#include <string>

typedef struct _GtkWindow GtkWindow;

namespace platform {

// Starts GTK with the program's arguments; the windows made from here on have windowClass as
// the class part of their X11 WM_CLASS, and the program's icon. False when no display can be
// opened (a French line on standard error says so).
bool InitToolkit(int& argc, char**& argv, const std::string& windowClass);

// Runs the event loop until QuitMainLoop.
void RunMainLoop();
void QuitMainLoop();

// A modal message with the information icon and one OK button, titled title, over owner (which
// may be null); returns once the user has answered.
void ShowInformation(GtkWindow* owner, const std::string& title, const std::string& text);

} // namespace platform
