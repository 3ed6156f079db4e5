// BrowserFrm's command line: the link table applied to the window's buttons and links menu.
#include "app/LinkTable.h"
#include "browser/BrowserFrm.h"
#include "browser/ButtonTable.h"
#include "settings/Ini.h"

#include <QAction>
#include <QToolButton>

namespace {

constexpr int kMailButton = 11;

} // namespace

void BrowserFrm::ParseCommandLine(const QString& commandLine) {
    const BrowserMod1::LinkTable table =
        BrowserMod1::BuildLinkTable(commandLine, &BrowserMod1::IniReadDefault);

    HomeUrl = table.HomeUrl;
    MailUrl = table.MailUrl;
    LinkTitles = table.LinkTitles;
    LinkUrls = table.LinkUrls;

    MLink[0]->setText(table.Entry0Caption);
    Bouton[browser::kHomeButton]->setToolTip(HomeUrl);
    Bouton[kMailButton]->setToolTip(MailUrl);
    for (int n = 1; n < BrowserMod1::LinkCount; ++n) {
        if (table.Visible[n]) {
            MLink[n]->setText(table.LinkTitles[n]);
            MLink[n]->setVisible(true);
        }
    }
}

QString BrowserFrm::NormalizeUrl(const QString& address) {
    return BrowserMod1::NormalizeUrl(address);
}
