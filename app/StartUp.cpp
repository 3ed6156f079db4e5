// Start and stop of the main window: the load sequence and the unload step.
#include "app/StartUp.h"

#include "about/frmAbout.h"
#include "app/Connectivity.h"
#include "app/FindWindowLike.h"
#include "app/LinkTable.h"
#include "browser/BrowserFrm.h"
#include "platform/profile/Profile.h"
#include "platform/window/Toolkit.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"

LoadResult Form_Load(BrowserFrm& frm, platform::PlacementWindow& placement,
                     const StartupServices& services) {
    // 1. An earlier instance whose window could be brought forward has already ended this start
    //    in app/main.cpp, before the window library was loaded.
    // 2. The caption prefix, which every caption ends with.
    frm.AppCaption = BrowserMod1::kAppCaption;
    // 3. The settings file beside the executable, and the user's own for a program folder the
    //    user cannot write.
    BrowserMod1::IniFileName = services.ProgramDirectory + "/Orvane.ini";
    BrowserMod1::UserIniFileName = platform::UserConfigFolder() + "/orvane/Orvane.ini";
    // 4. The window placement of the last run.
    BrowserMod1::FormPlacement("Main", placement, BrowserMod1::RestorePlacement);
    // 5. The command line: home and mail addresses, links.
    ParseCommandLine(frm, BrowserMod1::PrepareCommandLine(services.CommandLine));
    // 6. The first caption: the prefix alone.
    frm.UpdateCaption();
    // 7. The home site.
    if (!BrowserMod1::CheckInternetConnection(frm.HomeUrl)) {
        platform::ShowInformation(frm.Window(), frm.AppCaption,
                                  "Vous n'avez pas accès à Internet pour le site: " + frm.HomeUrl);
        return LoadResult::EndProgram;
    }
    frm.WB->Navigate(frm.HomeUrl);
    return LoadResult::Show;
}

void Form_Unload(platform::PlacementWindow& placement, int& /*cancel*/) {
    BrowserMod1::FormPlacement("Main", placement, BrowserMod1::SavePlacement);
}

void ParseCommandLine(BrowserFrm& frm, const std::string& commandLine) {
    const BrowserMod1::LinkTable table =
        BrowserMod1::BuildLinkTable(commandLine, &BrowserMod1::IniReadDefault);

    frm.HomeUrl = table.HomeUrl;
    frm.MailUrl = table.MailUrl;
    frm.LinkTitles = table.LinkTitles;
    frm.LinkUrls = table.LinkUrls;

    frm.SetLinkEntry(0, table.Entry0Caption, true);
    frm.SetButtonToolTip(browser::kHomeButton, frm.HomeUrl);
    frm.SetButtonToolTip(browser::kMailButton, frm.MailUrl);
    for (int n = 1; n < BrowserMod1::kLinkCount; ++n) {
        if (table.Visible[n]) {
            frm.SetLinkEntry(n, table.LinkTitles[n], true);
        }
    }
}

void InstallProgramHooks(BrowserFrm& frm, platform::PlacementWindow& placement) {
    frm.Unload = [&placement](int& cancel) { Form_Unload(placement, cancel); };
    frm.ShowAbout = [](BrowserFrm& owner) {
        platform::WebView* webView = owner.WB;
        frmAbout::ShowModal(owner.Window(),
                            [webView](const std::string& address) { webView->Navigate(address); });
    };
}
