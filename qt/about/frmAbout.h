#pragma once
// frmAbout: the modal About box. It shows the program's icon, title, version line and
// description, a legal notice and the maker's web and e-mail addresses. The icon and the two
// addresses are links: under the pointer they show a pointing hand (the address labels also turn
// blue and underlined) and a click opens their target in the main window's web view, then closes
// the dialog. OK, Enter and Escape close it without anything else happening.
//
// The controls keep their default geometry in twips, turned into pixels through the screen DPI.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Opens an address in the main window's web view.
    using Navigator = std::function<void(const QString& address)>;

    // The dialog is centred over owner; its links go through navigate.
    frmAbout(QWidget* owner, Navigator navigate);
    ~frmAbout() override;

    // Loads a fresh dialog over owner (the main window), shows it modally and destroys it once
    // closed; its links go through navigate.
    static void ShowModal(QWidget* owner, Navigator navigate);

    // --- Handlers ------------------------------------------------------------------------------
    void Form_Load();
    void Form_KeyPress(int& keyAscii);
    void Bouton_Click();

    // --- Controls (owned by the dialog) -------------------------------------------------------
    QPushButton* Bouton = nullptr;
    QLabel* picIcon = nullptr;
    std::array<QLabel*, 2> WebLbl{};
    // Indexes 0, 1, 2, 3, 5 and 6; there is no label 4, its element stays null.
    std::array<QLabel*, 7> Lbl{};

    // Centres the dialog's window, frame included, over its owner's window when it is shown.
    void setVisible(bool visible) override;

protected:
    // Key preview and the links' pointer events, for every widget of this dialog.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Gives a link, or takes from it, the look it has under the pointer: a pointing hand, and on
    // the address labels blue underlined text (black once the pointer has left).
    void SetHovered(QLabel* link, bool hovered);
    bool PreviewKey(QWidget* receiver, QEvent* event);
    bool LinkPointerEvent(QWidget* control, QEvent* event);

    Navigator Navigate;
    QLabel* Hovered = nullptr; // the link under the pointer
};
