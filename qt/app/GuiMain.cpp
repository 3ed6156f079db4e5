// The window program: the application object, the main window's initialisation and load
// sequence, then the event loop until the main window is closed.

#include "app/ProgramEntry.h"
#include "qt/about/ProgramInfo.h"
#include "qt/app/StartUp.h"
#include "qt/browser/BrowserFrm.h"
#include "qt/platform/Engine.h"
#include "qt/platform/Rendering.h"

#include <QApplication>

extern "C" __attribute__((visibility("default"))) int OrvaneGuiMain(int argc, char** argv,
                                                                    const OrvaneStart* start) {
    platform::PrepareEngine();
    // Settled before the application object, which loads OpenGL unless told it needs none.
    const platform::CompositionPlan composition = platform::PrepareComposition();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setWindowIcon(QtProgramInfo::ProgramIcon());
    platform::InstallTranslations(app);
    platform::ChooseComposition(composition);

    Form_Initialize(); // before any control exists
    BrowserFrm frm;
    InstallProgramHooks(frm);
    StartupServices services;
    // The previous-instance question (step 1) was answered before this library was loaded.
    services.ProgramDirectory = QString::fromUtf8(start->programDirectory);
    services.CommandLine = QString::fromUtf8(start->commandLine);
    if (Form_Load(frm, services) == LoadResult::EndProgram) {
        return 0;
    }
    frm.show();
    return QApplication::exec();
}
