// The window program on GTK: the toolkit and the engine, the main window's load sequence, then
// the event loop until the main window is closed.

#include "app/ProgramEntry.h"
#include "app/StartUp.h"
#include "browser/BrowserFrm.h"
#include "browser/WindowIdentity.h"
#include "platform/web/Engine.h"
#include "platform/web/WebView.h"
#include "platform/window/GtkPlacement.h"
#include "platform/window/Toolkit.h"

extern "C" __attribute__((visibility("default"))) int OrvaneGuiMain(int argc, char** argv,
                                                                    const OrvaneStart* start) {
    // The locale, the display backend and the engine's drawing are settled before the toolkit
    // starts.
    platform::PrepareEngine();
    if (!platform::InitToolkit(argc, argv, browser::kWindowClass)) {
        return 1;
    }

    BrowserFrm frm(platform::CreateWebView);
    const auto placement = platform::CreateGtkPlacement(frm.Window());
    InstallProgramHooks(frm, *placement);
    // The previous-instance question (step 1) was answered before this library was loaded.
    const StartupServices services{start->programDirectory, start->commandLine};
    if (Form_Load(frm, *placement, services) == LoadResult::EndProgram) {
        return 0;
    }
    frm.Show();
    platform::RunMainLoop();
    return 0;
}
