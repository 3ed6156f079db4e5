#pragma once
// The main window's start and stop, as the program runs them: the step before the window exists,
// the load sequence, the command line applied to the window, and the unload step.
//
// Step 1 of the load sequence, the previous-instance question, is answered by the program entry
// (app/main.cpp) before the window library is loaded; Form_Load runs the steps after it.

#include "platform/PlacementWindow.h"

#include <string>

class BrowserFrm;

// What the load sequence is given by the program entry.
struct StartupServices {
    std::string ProgramDirectory; // the executable's folder, no trailing separator
    std::string CommandLine;      // the argument text after the program's name
};
enum class LoadResult { Show, EndProgram };

// Steps 2 to 7: caption prefix, settings file, placement, command line, caption, home page.
LoadResult Form_Load(BrowserFrm& frm, platform::PlacementWindow& placement,
                     const StartupServices& services);
// Saves the placement; never sets cancel.
void Form_Unload(platform::PlacementWindow& placement, int& cancel);
// The link table from a prepared command line, applied to the buttons and the links menu.
void ParseCommandLine(BrowserFrm& frm, const std::string& commandLine);

// Gives the window what it asks of the program: Form_Unload when it closes, the About box.
void InstallProgramHooks(BrowserFrm& frm, platform::PlacementWindow& placement);
