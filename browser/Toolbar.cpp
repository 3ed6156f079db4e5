// The toolbar's commands, the home button's drop-down and the links menu.
#include "browser/BrowserFrm.h"
#include "browser/ButtonTable.h"
#include "platform/Twips.h"
#include "platform/WebView.h"

#include <QMenu>
#include <QToolButton>

void BrowserFrm::Bouton_Click(int index) {
    WB->SetFocus();
    switch (index) {
    case 0:
        close();
        break;
    case 1:
        WB->GoBack();
        break;
    case 2:
        WB->GoForward();
        break;
    case 3:
        WB->Refresh();
        break;
    case 4:
        WB->Stop();
        break;
    case 5:
        WB->Navigate(HomeUrl);
        break;
    case 6:
        WB->GoSearch();
        break;
    case 7:
        WB->ExecWB(platform::OLECMDID_PRINT, 0);
        break;
    case 8:
        WB->ExecWB(platform::OLECMDID_PRINTPREVIEW, 0);
        break;
    case 9:
        WB->ExecWB(platform::OLECMDID_SAVEAS, 0);
        break;
    case 10:
        if (ShowAbout) {
            ShowAbout(*this);
        }
        break;
    case 11:
        WB->Navigate(MailUrl);
        break;
    default:
        break;
    }
}

void BrowserFrm::Bouton_DropDown(int index) {
    if (index != browser::kHomeButton) {
        return;
    }
    // Just below the button's lower-left corner, as the button stands now.
    const browser::TwipsRect home = Twips(Bouton.at(browser::kHomeButton));
    const QPoint corner(platform::TwipsToPixelsX(home.Left),
                        platform::TwipsToPixelsY(home.Top + home.Height));
    MenuLiens->popup(mapToGlobal(corner));
}

void BrowserFrm::MLink_Click(int index) {
    if (index >= 0 && index < static_cast<int>(LinkUrls.size()) && !LinkUrls.at(index).isEmpty()) {
        WB->Navigate(LinkUrls.at(index));
    }
    WB->SetFocus();
}
