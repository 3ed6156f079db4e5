// Start and stop of the main window: the load sequence and the unload step.
#include "qt/app/StartUp.h"
#include "qt/platform/CoreText.h"

#include "app/Connectivity.h"
#include "app/FindWindowLike.h"
#include "app/LinkTable.h"
#include "platform/profile/Profile.h"
#include "qt/about/frmAbout.h"
#include "qt/browser/BrowserFrm.h"
#include "qt/platform/StyleWinXP.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"

#include <QMessageBox>

void Form_Initialize() {
    StyleWinXP::InitCommonControlsXP();
}

LoadResult Form_Load(BrowserFrm& frm, const StartupServices& services) {
    // 1. An earlier instance whose window could be brought forward has already ended this start
    //    in app/main.cpp, before the window library was loaded.
    // 2. The caption prefix, which every caption ends with.
    frm.AppCaption = QString::fromUtf8(BrowserMod1::kAppCaption);
    // 3. The settings file beside the executable, and the user's own for a program folder the
    // user cannot write.
    BrowserMod1::IniFileName = platform::ToCore(services.ProgramDirectory) + "/Orvane.ini";
    BrowserMod1::UserIniFileName = platform::UserConfigFolder() + "/orvane/Orvane.ini";
    // 4. The window placement of the last run.
    BrowserMod1::FormPlacement("Main", frm.Placement(), BrowserMod1::RestorePlacement);
    // 5. The command line: home and mail addresses, links.
    ParseCommandLine(frm, platform::FromCore(BrowserMod1::PrepareCommandLine(
                              platform::ToCore(services.CommandLine))));
    // 6. The first caption: the prefix alone.
    frm.UpdateCaption();
    // 7. The home site.
    if (!BrowserMod1::CheckInternetConnection(platform::ToCore(frm.HomeUrl))) {
        QMessageBox box(QMessageBox::Information, frm.windowTitle(),
                        QStringLiteral("Vous n'avez pas accès à Internet pour le site: ") +
                            frm.HomeUrl,
                        QMessageBox::Ok);
        box.exec();
        return LoadResult::EndProgram;
    }
    frm.WB->Navigate(frm.HomeUrl);
    return LoadResult::Show;
}

void Form_Unload(BrowserFrm& frm, int& /*cancel*/) {
    BrowserMod1::FormPlacement("Main", frm.Placement(), BrowserMod1::SavePlacement);
}

void InstallProgramHooks(BrowserFrm& frm) {
    frm.Unload = [&frm](int& cancel) { Form_Unload(frm, cancel); };
    frm.ShowAbout = [](BrowserFrm& owner) {
        platform::WebView* webView = owner.WB;
        frmAbout::ShowModal(&owner,
                            [webView](const QString& address) { webView->Navigate(address); });
    };
}
