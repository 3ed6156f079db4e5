#pragma once
// BrowserFrm: the program's one main window, on GTK 3.
//
// From top to bottom: a row of twelve push buttons (the toolbar, `Bouton` 0-11) with the
// download progress bar `PBar` in the same row, the web view `WB`, and the status bar docked to
// the bottom edge. The hidden menu `MenuLiens` (entries `MLink` 0-5) pops up under the home
// button. Geometry is kept in twips (15 to a pixel at 96 DPI) and turned into pixels through
// the screen's logical DPI; the controls stand at absolute positions in a container that asks
// the window for no minimum size.
//
// The link table: `HomeUrl` and `MailUrl` come from the command line, `LinkTitles` and `LinkUrls`
// 1-5 from section "Liens" of the settings file; `LinkUrls`(0) is a copy of `HomeUrl`. Menu entry
// i opens `LinkUrls`(i).
//
// The page tools (browser/PageTools.h) add the keys, the find bar, the zoom and full screen;
// the window reads every key before the control that has the keyboard.
//
// Closing (the close box or `Bouton`(0)) leaves full screen, runs `Unload`, hides the window and
// then calls `Closed`; with no `Closed` installed it ends the running gtk_main. The window itself
// lives until the BrowserFrm is destroyed.

#include "browser/ButtonTable.h"
#include "browser/TwipsGeometry.h"
#include "platform/web/WebView.h"

#include <gtk/gtk.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace browser {
class PageTools;
}

class BrowserFrm {
public:
    using WebViewFactory =
        std::function<std::unique_ptr<platform::WebView>(platform::WebViewEvents)>;
    // Shows the About dialog modally; installed by the program.
    using AboutShower = std::function<void(BrowserFrm&)>;

    // Builds the window, not shown.
    explicit BrowserFrm(const WebViewFactory& makeWebView);
    ~BrowserFrm();
    BrowserFrm(const BrowserFrm&) = delete;
    BrowserFrm& operator=(const BrowserFrm&) = delete;

    GtkWindow* Window() const;
    // Shows the window and its controls (the progress bar and the hidden links stay hidden).
    void Show();

    // --- Layout ----------------------------------------------------------------------------
    void Form_Resize();
    // A control's rectangle in twips relative to the client area, as the layout last set it.
    browser::TwipsRect Twips(GtkWidget* control) const;
    // The window's outer size in twips as the layout sees it (client area and design frame),
    // and its state (0 normal, 1 minimized, 2 maximized or full screen).
    float FormWidth() const;
    float FormHeight() const;
    int FormWindowState() const;
    // Asks for that outer width; the window is laid out again once the window system grants it.
    void SetFormWidth(float width);

    // --- Toolbar and links menu ------------------------------------------------------------
    void Bouton_Click(int index); // index: a browser::ButtonIndex
    void Bouton_DropDown(int index);
    void MLink_Click(int index);
    // What the command line sets: a links-menu entry's caption and visibility, a button's tooltip.
    void SetLinkEntry(int index, const std::string& caption, bool visible);
    void SetButtonToolTip(int index, const std::string& toolTip);
    // The close path of the close box and of Bouton(0).
    void Close();

    // --- Page feedback ---------------------------------------------------------------------
    void HideProgress();
    void UpdateCaption();
    void WB_NavigateComplete(const std::string& address);
    void WB_DocumentComplete(const std::string& address);
    void WB_DownloadBegin();
    void WB_DownloadComplete();
    void WB_ProgressChange(int progress, int maximum);
    void WB_StatusTextChange(const std::string& text);
    void WB_NewWindow(bool& cancel);
    void WB_FullScreenRequested(bool on);
    // What the status bar and the progress bar hold.
    std::string StatusText() const;
    void SetStatusText(const std::string& text);
    int ProgressValue() const;
    int ProgressMaximum() const;

    // --- Keys, find bar, zoom and full screen ----------------------------------------------
    browser::PageTools& Tools();

    // --- State (the link table and what the page handlers keep) -----------------------------
    std::string AppCaption;
    std::string HomeUrl;
    std::string MailUrl;
    std::string LastLinkUrl;
    std::array<std::string, 6> LinkTitles;
    std::array<std::string, 6> LinkUrls;

    // --- Controls (owned by the window) -----------------------------------------------------
    // Bouton(5) is the split button: a box holding its main part and its drop-down arrow.
    std::array<GtkWidget*, browser::kButtonCount> Bouton{};
    GtkWidget* PBar = nullptr;      // GtkProgressBar
    GtkWidget* StatusBar = nullptr; // GtkStatusbar
    platform::WebView* WB = nullptr;
    GtkWidget* MenuLiens = nullptr; // GtkMenu
    std::array<GtkWidget*, 6> MLink{};
    // The home button's two parts.
    GtkWidget* HomeMain = nullptr;
    GtkWidget* HomeArrow = nullptr;

    // What the window asks of the program, which installs them (the window runs without them).
    AboutShower ShowAbout;
    std::function<void(int& cancel)> Unload;
    std::function<void()> Closed;

private:
    void Build(const WebViewFactory& makeWebView);
    void Place(GtkWidget* control, const browser::TwipsRect& rect);
    float ClientWidthTwips() const;
    float ClientHeightTwips() const;

    struct Impl;
    std::unique_ptr<Impl> d;
};
