#pragma once
// BrowserFrm: the program's one main window.
//
// From top to bottom: a row of twelve push buttons (the toolbar, `Bouton` 0-11) with the
// download progress bar `PBar` in the same row, the web view `WB`, and the status bar docked to
// the bottom edge. The hidden menu `MenuLiens` (entries `MLink` 0-5) pops up under the home
// button. Geometry is kept in twips (15 to a pixel at 96 DPI) and turned into pixels through
// the screen DPI.
//
// The link table: `HomeUrl` and `MailUrl` come from the command line, `LinkTitles` and `LinkUrls`
// 1-5 from section "Liens" of the settings file; `LinkUrls`(0) is a copy of `HomeUrl`. Menu entry
// i opens `LinkUrls`(i). The table is built once at start and never changes.

#include "browser/ButtonTable.h"
#include "platform/PlacementWindow.h"
#include "qt/browser/TwipsGeometry.h"
#include "qt/platform/WebView.h"

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QProgressBar;
class QStatusBar;
class QToolButton;

namespace browser {
class PageTools;
}

class BrowserFrm : public QWidget {
    Q_OBJECT
public:
    using WebViewFactory = std::function<std::unique_ptr<platform::WebView>(QWidget* parent)>;
    // Shows the About dialog modally; replaceable so that tests need no real dialog.
    using AboutShower = std::function<void(BrowserFrm&)>;

    explicit BrowserFrm(const WebViewFactory& makeWebView = platform::CreateWebView,
                        QWidget* parent = nullptr);
    ~BrowserFrm() override;

    // --- Layout ----------------------------------------------------------------------------
    void Form_Resize();
    // A control's Left, Top, Width and Height in twips, relative to the client area (the model
    // the layout reads and sets; the widgets follow it in pixels).
    browser::TwipsRect Twips(const QWidget* control) const;
    // The window's outer size in twips as the layout sees it (the client area and the design
    // frame) and its state (0 normal, 1 minimized, 2 maximized).
    float FormWidth() const;
    float FormHeight() const;
    // Asks for that outer width. A shown window has it once the window system grants it (the
    // layout then runs again); until then, or when it is refused, the window keeps its width.
    void SetFormWidth(float width);
    int FormWindowState() const;

    // --- Toolbar and links menu ------------------------------------------------------------
    void Bouton_Click(int index); // index: a browser::ButtonIndex
    void Bouton_DropDown(int index);
    void MLink_Click(int index);

    // --- Page feedback ---------------------------------------------------------------------
    void HideProgress();
    void UpdateCaption();
    void WB_NavigateComplete(const QString& address);
    void WB_DocumentComplete(const QString& address);
    void WB_DownloadBegin();
    void WB_DownloadComplete();
    void WB_ProgressChange(int progress, int maximum);
    void WB_StatusTextChange(const QString& text);
    void WB_NewWindow(bool& cancel);

    // --- State (the link table and what the page handlers keep) -------------------------------
    QString AppCaption;
    QString HomeUrl;
    QString MailUrl;
    std::array<QString, 6> LinkTitles;
    std::array<QString, 6> LinkUrls;
    QString LastLinkUrl;

    // --- Controls (owned by the window) -----------------------------------------------------
    std::array<QToolButton*, browser::kButtonCount> Bouton{};
    QProgressBar* PBar = nullptr;
    QStatusBar* StatusBar = nullptr;
    platform::WebView* WB = nullptr;
    QMenu* MenuLiens = nullptr;
    std::array<QAction*, 6> MLink{};

    // What the window asks of the program, which installs them (the window runs without them):
    // the About box for the About button, and the unload step when the window closes.
    AboutShower ShowAbout;
    std::function<void(int& cancel)> Unload;

    // The window as the placement routine sees it.
    platform::PlacementWindow& Placement();

    // Keys, find in page, zoom and full screen: what the window offers beyond the toolbar.
    browser::PageTools& Tools();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Makes the buttons' font small enough for every caption to fit its button.
    void FitButtonCaptions();

    struct Impl;
    std::unique_ptr<Impl> d;
};
