// Start and stop of the main window: the load sequence and the unload step.

#include "app/Connectivity.h"
#include "app/FindWindowLike.h"
#include "app/LinkTable.h"
#include "app/StyleWinXP.h"
#include "browser/BrowserFrm.h"
#include "platform/Profile.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"

#include <QMessageBox>

void BrowserFrm::Form_Initialize() {
    StyleWinXP::InitCommonControlsXP();
}

BrowserFrm::LoadResult BrowserFrm::Form_Load(const StartupServices& services) {
    // 1. An earlier instance whose window can be brought forward ends this one at once.
    if (services.PrevInstance && services.PrevInstance()) {
        if (services.WindowTree != nullptr &&
            BrowserMod1::ActivatePreviousInstance(*services.WindowTree)) {
            return LoadResult::EndProgram;
        }
    }
    // 2. The caption prefix, which every caption ends with.
    AppCaption = QStringLiteral("Navigateur Ulmeco");
    // 3. The settings file beside the executable, and the user's own for a program folder the
    // user cannot write.
    BrowserMod1::IniFileName = services.ProgramDirectory + QStringLiteral("/Orvane.ini");
    BrowserMod1::UserIniFileName =
        platform::UserConfigFolder() + QStringLiteral("/orvane/Orvane.ini");
    // 4. The window placement of the last run.
    BrowserMod1::FormPlacement(QStringLiteral("Main"), Placement(), 0);
    // 5. The command line: home and mail addresses, links.
    ParseCommandLine(BrowserMod1::PrepareCommandLine(services.CommandLine));
    // 6. The first caption: the prefix alone.
    UpdateCaption();
    // 7. The home site.
    if (!BrowserMod1::CheckInternetConnection(HomeUrl)) {
        QMessageBox box(QMessageBox::Information, windowTitle(),
                        QStringLiteral("Vous n'avez pas accès à Internet pour le site: ") + HomeUrl,
                        QMessageBox::Ok);
        box.exec();
        return LoadResult::EndProgram;
    }
    WB->Navigate(HomeUrl);
    return LoadResult::Show;
}

void BrowserFrm::Form_Unload(int& /*cancel*/) {
    BrowserMod1::FormPlacement(QStringLiteral("Main"), Placement(), 1);
}
