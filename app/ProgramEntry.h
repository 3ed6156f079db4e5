#pragma once
// The entry of the window program, which the executable loads (liborvane_gtk.so beside it) once
// it knows that no earlier instance's window could be brought forward.

extern "C" {

struct OrvaneStart {
    const char* programDirectory; // the executable's folder, UTF-8, no trailing separator
    const char* commandLine;      // the argument text after the program's name, UTF-8
};

// Runs the window program: creates the main window, its load sequence, the event loop.
// Returns the program's exit code.
int OrvaneGuiMain(int argc, char** argv, const OrvaneStart* start);

// The window library, beside the executable, and its entry point.
inline constexpr const char* OrvaneGuiLibrary = "liborvane_gtk.so";
inline constexpr const char* OrvaneGuiEntry = "OrvaneGuiMain";
}
