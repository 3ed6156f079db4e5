// The command line applied to the main window: the link table, the buttons' tooltips and the
// links menu.
#include "app/LinkTable.h"
#include "browser/ButtonTable.h"
#include "qt/app/StartUp.h"
#include "qt/browser/BrowserFrm.h"
#include "settings/Ini.h"

#include <QAction>
#include <QToolButton>

void ParseCommandLine(BrowserFrm& frm, const QString& commandLine) {
    const BrowserMod1::LinkTable table =
        BrowserMod1::BuildLinkTable(commandLine, &BrowserMod1::IniReadDefault);

    frm.HomeUrl = table.HomeUrl;
    frm.MailUrl = table.MailUrl;
    frm.LinkTitles = table.LinkTitles;
    frm.LinkUrls = table.LinkUrls;

    frm.MLink[0]->setText(table.Entry0Caption);
    frm.Bouton[browser::kHomeButton]->setToolTip(frm.HomeUrl);
    frm.Bouton[browser::kMailButton]->setToolTip(frm.MailUrl);
    for (int n = 1; n < BrowserMod1::LinkCount; ++n) {
        if (table.Visible[n]) {
            frm.MLink[n]->setText(table.LinkTitles[n]);
            frm.MLink[n]->setVisible(true);
        }
    }
}
