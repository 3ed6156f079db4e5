#pragma once
// frmAbout: the modal About box. It shows the program's icon, title, version line and
// description, a legal notice and the maker's web and e-mail addresses. The icon and the two
// addresses are links: under the pointer they show a pointing hand (the address labels also turn
// blue and underlined) and a click opens their target in the main window's web view, then closes
// the dialog. OK, Enter and Escape close it without anything else happening.
//
// The controls keep the designed geometry in twips, turned into pixels through the screen DPI.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class BrowserFrm;
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

    // Loads a fresh dialog over the main window, shows it modally and destroys it once closed.
    static void ShowModal(BrowserFrm& mainWindow);

    // --- Handlers ------------------------------------------------------------------------------
    void Form_Load();
    void Form_KeyPress(int& keyAscii);
    void Bouton_Click();
    void picIcon_MouseMove();
    void picIcon_DragOver(int state);
    void picIcon_DragDrop(QWidget* source);
    void WebLbl_MouseMove(int index);
    void WebLbl_DragOver(int index, int state);
    void WebLbl_DragDrop(int index, QWidget* source);

    // Drag-over states.
    static constexpr int vbEnter = 0;
    static constexpr int vbLeave = 1;
    static constexpr int vbOver = 2;

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
    enum DragAction { vbBeginDrag = 1, vbEndDrag = 2 };
    // The manual drag of a control: while it runs the control shows its drag icon, and the
    // pointer's moves over the links arrive as drag-over events, a click as a drop.
    void Drag(QWidget* control, DragAction action);
    bool PreviewKey(QWidget* receiver, QEvent* event);
    bool LinkPointerEvent(QWidget* control, QEvent* event);

    Navigator Navigate;
    QWidget* Dragged = nullptr;
};
