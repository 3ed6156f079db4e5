// The window program: the application object, the main window's initialisation and load
// sequence, then the event loop until the main window is closed.

#include "about/ProgramInfo.h"
#include "app/ProgramEntry.h"
#include "browser/BrowserFrm.h"
#include "platform/Engine.h"
#include "platform/Rendering.h"

#include <QApplication>

extern "C" __attribute__((visibility("default"))) int OrvaneGuiMain(int argc, char** argv,
                                                                    const OrvaneStart* start) {
    platform::PrepareEngine();
    // Settled before the application object, which loads OpenGL unless told it needs none.
    const platform::CompositionPlan composition = platform::PrepareComposition();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setWindowIcon(ProgramInfo::ProgramIcon());
    platform::InstallTranslations(app);
    platform::ChooseComposition(composition);

    BrowserFrm frm; // runs Form_Initialize before it creates its controls
    BrowserFrm::StartupServices services;
    // The previous-instance question was answered before this library was loaded.
    services.ProgramDirectory = QString::fromUtf8(start->programDirectory);
    services.CommandLine = QString::fromUtf8(start->commandLine);
    if (frm.Form_Load(services) == BrowserFrm::LoadResult::EndProgram) {
        return 0;
    }
    frm.show();
    return QApplication::exec();
}
