#include "qt/platform/FrenchActions.h"

#include <QAction>
#include <QWebEnginePage>

namespace platform {

namespace {

struct ActionText {
    QWebEnginePage::WebAction Action;
    const char* Text;
};

constexpr ActionText Texts[] = {
    {QWebEnginePage::Back, "Précédente"},
    {QWebEnginePage::Forward, "Suivante"},
    {QWebEnginePage::Stop, "Arrêter"},
    {QWebEnginePage::Reload, "Actualiser"},
    {QWebEnginePage::ReloadAndBypassCache, "Actualiser sans le cache"},
    {QWebEnginePage::Cut, "Couper"},
    {QWebEnginePage::Copy, "Copier"},
    {QWebEnginePage::Paste, "Coller"},
    {QWebEnginePage::PasteAndMatchStyle, "Coller sans la mise en forme"},
    {QWebEnginePage::Undo, "Annuler"},
    {QWebEnginePage::Redo, "Rétablir"},
    {QWebEnginePage::SelectAll, "Tout sélectionner"},
    {QWebEnginePage::Unselect, "Désélectionner"},
    {QWebEnginePage::OpenLinkInThisWindow, "Ouvrir le lien ici"},
    {QWebEnginePage::OpenLinkInNewWindow, "Ouvrir le lien dans une nouvelle fenêtre"},
    {QWebEnginePage::OpenLinkInNewTab, "Ouvrir le lien dans une nouvelle fenêtre"},
    {QWebEnginePage::OpenLinkInNewBackgroundTab, "Ouvrir le lien en arrière-plan"},
    {QWebEnginePage::CopyLinkToClipboard, "Copier l'adresse du lien"},
    {QWebEnginePage::DownloadLinkToDisk, "Enregistrer la cible du lien sous…"},
    {QWebEnginePage::CopyImageToClipboard, "Copier l'image"},
    {QWebEnginePage::CopyImageUrlToClipboard, "Copier l'adresse de l'image"},
    {QWebEnginePage::DownloadImageToDisk, "Enregistrer l'image sous…"},
    {QWebEnginePage::CopyMediaUrlToClipboard, "Copier l'adresse du média"},
    {QWebEnginePage::ToggleMediaControls, "Afficher les commandes"},
    {QWebEnginePage::ToggleMediaLoop, "Lire en boucle"},
    {QWebEnginePage::ToggleMediaPlayPause, "Lecture / pause"},
    {QWebEnginePage::ToggleMediaMute, "Couper le son"},
    {QWebEnginePage::DownloadMediaToDisk, "Enregistrer le média sous…"},
    {QWebEnginePage::InspectElement, "Inspecter l'élément"},
    {QWebEnginePage::ExitFullScreen, "Quitter le plein écran"},
    {QWebEnginePage::SavePage, "Enregistrer la page sous…"},
    {QWebEnginePage::ViewSource, "Code source de la page"},
    {QWebEnginePage::ToggleBold, "Gras"},
    {QWebEnginePage::ToggleItalic, "Italique"},
    {QWebEnginePage::ToggleUnderline, "Souligné"},
    {QWebEnginePage::ToggleStrikethrough, "Barré"},
    {QWebEnginePage::AlignLeft, "Aligner à gauche"},
    {QWebEnginePage::AlignCenter, "Centrer"},
    {QWebEnginePage::AlignRight, "Aligner à droite"},
    {QWebEnginePage::AlignJustified, "Justifier"},
    {QWebEnginePage::Indent, "Augmenter le retrait"},
    {QWebEnginePage::Outdent, "Diminuer le retrait"},
    {QWebEnginePage::InsertOrderedList, "Liste numérotée"},
    {QWebEnginePage::InsertUnorderedList, "Liste à puces"},
};

// The engine's menu offers a link in a new tab as well as in a new window: without tabs, both
// open a new window, so the menu keeps one entry.
constexpr QWebEnginePage::WebAction NotOffered[] = {
    QWebEnginePage::OpenLinkInNewTab,
    QWebEnginePage::OpenLinkInNewBackgroundTab,
};

} // namespace

void TranslateActions(QWebEnginePage& page) {
    for (const ActionText& entry : Texts) {
        if (QAction* action = page.action(entry.Action)) {
            action->setText(QString::fromUtf8(entry.Text));
        }
    }
    for (const QWebEnginePage::WebAction hidden : NotOffered) {
        if (QAction* action = page.action(hidden)) {
            action->setVisible(false);
        }
    }
}

} // namespace platform
