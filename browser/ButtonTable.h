#pragma once
// The toolbar's twelve buttons and the links menu's six entries, with their default geometry.
//
// Geometry is in twips relative to the client area. Captions carry the access key after "&".
// Tab order 0 is the web view, 13 the status bar and 14 the progress bar.

#include <array>

namespace browser {

// The toolbar's buttons: their index in `Bouton` and in the table below.
enum ButtonIndex : int {
    kCloseButton = 0,
    kBackButton = 1,
    kForwardButton = 2,
    kRefreshButton = 3,
    kStopButton = 4,
    kHomeButton = 5, // its drop-down part opens the links menu
    kSearchButton = 6,
    kPrintButton = 7,
    kPreviewButton = 8,
    kSaveButton = 9,
    kAboutButton = 10,
    kMailButton = 11,
};
inline constexpr int kButtonCount = 12;

struct ButtonDesign {
    ButtonIndex Index;
    const char* Caption; // UTF-8
    const char* ToolTip; // UTF-8; empty for none
    const char* Icon;    // resource path
    float Left;
    float Top;
    float Width;
    float Height;
    int TabOrder;
};

// In index order.
inline constexpr std::array<ButtonDesign, kButtonCount> kButtons{{
    {kCloseButton, "&Fermer", "", ":/icons/fermer.png", 13560, 0, 960, 795, 1},
    {kBackButton, "&Prédédent", "Reculer d'une page", ":/icons/precedent.png", 0, 0, 960, 795, 2},
    {kForwardButton, "&Suivant", "Avancer d'une page", ":/icons/suivant.png", 960, 0, 960, 795, 3},
    {kRefreshButton, "&Actualiser", "Actualiser la page courante", ":/icons/actualiser.png", 1920,
     0, 960, 795, 4},
    {kStopButton, "Arré&ter", "Arrêter le chargement de page", ":/icons/arreter.png", 2880, 0, 960,
     795, 5},
    {kHomeButton, "&Démarrage", "", ":/icons/demarrage.png", 3960, 0, 1200, 795, 6},
    {kSearchButton, "Re&chercher", "", ":/icons/rechercher.png", 5160, 0, 960, 795, 7},
    {kPrintButton, "&Imprimer", "Imprimer la page courante", ":/icons/imprimer.png", 7200, 0, 960,
     795, 9},
    {kPreviewButton, "Ape&rçu", "Aperçu avant impression", ":/icons/apercu.png", 8160, 0, 960, 795,
     10},
    {kSaveButton, "&Enregistrer", "Enregistrer la page courante", ":/icons/enregistrer.png", 9120,
     0, 960, 795, 11},
    {kAboutButton, "Infos", "A propos d'Orvane", ":/icons/infos.png", 10080, 0, 960, 795, 12},
    {kMailButton, "&Messagerie", "", ":/icons/messagerie.png", 6120, 0, 960, 795, 8},
}};

struct ControlDesign {
    float Left;
    float Top;
    float Width;
    float Height;
};

inline constexpr ControlDesign kWebViewDesign{0, 795, 14415, 5655};
inline constexpr ControlDesign kProgressDesign{11160, 240, 2295, 315};
inline constexpr ControlDesign kStatusBarDesign{0, 7515, 14565, 255};
inline constexpr float kStatusBarHeight = 255;
inline constexpr float kClientWidth = 14565;
inline constexpr float kClientHeight = 7770;
inline constexpr int kIconPixels = 32;

struct MenuEntryDesign {
    const char* Caption;
    bool Visible;
};

inline constexpr std::array<MenuEntryDesign, 6> kLinkEntries{{
    {"Link0", true},
    {"Link1", false},
    {"Link2", false},
    {"Link3", false},
    {"Link4", false},
    {"Link5", false},
}};

} // namespace browser
