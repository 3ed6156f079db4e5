// The command line applied to the main window: the link table, the buttons' tooltips and the
// links menu.
#include "app/LinkTable.h"
#include "browser/ButtonTable.h"
#include "qt/app/StartUp.h"
#include "qt/browser/BrowserFrm.h"
#include "qt/platform/CoreText.h"
#include "settings/Ini.h"

#include <QAction>
#include <QToolButton>

void ParseCommandLine(BrowserFrm& frm, const QString& commandLine) {
    const BrowserMod1::LinkTable table =
        BrowserMod1::BuildLinkTable(platform::ToCore(commandLine), &BrowserMod1::IniReadDefault);

    frm.HomeUrl = platform::FromCore(table.HomeUrl);
    frm.MailUrl = platform::FromCore(table.MailUrl);
    for (int n = 0; n < BrowserMod1::kLinkCount; ++n) {
        frm.LinkTitles[n] = platform::FromCore(table.LinkTitles[n]);
        frm.LinkUrls[n] = platform::FromCore(table.LinkUrls[n]);
    }

    frm.MLink[0]->setText(platform::FromCore(table.Entry0Caption));
    frm.Bouton[browser::kHomeButton]->setToolTip(frm.HomeUrl);
    frm.Bouton[browser::kMailButton]->setToolTip(frm.MailUrl);
    for (int n = 1; n < BrowserMod1::kLinkCount; ++n) {
        if (table.Visible[n]) {
            frm.MLink[n]->setText(platform::FromCore(table.LinkTitles[n]));
            frm.MLink[n]->setVisible(true);
        }
    }
}
