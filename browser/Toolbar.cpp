// The toolbar's commands, the home button's drop-down and the links menu.
#include "browser/BrowserFrm.h"

void BrowserFrm::Bouton_Click(int index) {
    WB->SetFocus();
    switch (index) {
    case browser::kCloseButton:
        Close();
        break;
    case browser::kBackButton:
        WB->GoBack();
        break;
    case browser::kForwardButton:
        WB->GoForward();
        break;
    case browser::kRefreshButton:
        WB->Refresh();
        break;
    case browser::kStopButton:
        WB->Stop();
        break;
    case browser::kHomeButton:
        WB->Navigate(HomeUrl);
        break;
    case browser::kSearchButton:
        WB->GoSearch();
        break;
    case browser::kPrintButton:
        WB->ExecWB(platform::OLECMDID_PRINT, 0);
        break;
    case browser::kPreviewButton:
        WB->ExecWB(platform::OLECMDID_PRINTPREVIEW, 0);
        break;
    case browser::kSaveButton:
        WB->ExecWB(platform::OLECMDID_SAVEAS, 0);
        break;
    case browser::kAboutButton:
        if (ShowAbout) {
            ShowAbout(*this);
        }
        break;
    case browser::kMailButton:
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
    // Just below the button, its left edges aligned.
    gtk_menu_popup_at_widget(GTK_MENU(MenuLiens), Bouton.at(browser::kHomeButton),
                             GDK_GRAVITY_SOUTH_WEST, GDK_GRAVITY_NORTH_WEST, nullptr);
}

void BrowserFrm::MLink_Click(int index) {
    if (index >= 0 && index < static_cast<int>(LinkUrls.size()) && !LinkUrls.at(index).empty()) {
        WB->Navigate(LinkUrls.at(index));
    }
    WB->SetFocus();
}
