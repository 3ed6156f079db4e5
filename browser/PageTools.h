#pragma once
// What the main window offers beyond its toolbar: the keys every browser answers to, finding
// text in the page, the page zoom and the page area full screen.
//
// None of it takes part in the layout rule: the find bar floats over the web view, and full
// screen suspends the rule and lays the window out again when it ends.

#include "browser/KeyTable.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>

class BrowserFrm;

namespace browser {

class FindBar;
class FullScreen;

class PageTools {
public:
    // layout: the window's container, where the find bar goes.
    PageTools(BrowserFrm& window, GtkWidget* layout);
    ~PageTools();
    PageTools(const PageTools&) = delete;
    PageTools& operator=(const PageTools&) = delete;

    // A key pressed in the window, before the control with the keyboard gets it: whether it was
    // one of the key table's, done here (the control then does not get it).
    bool KeyPressed(const GdkEventKey& event);
    // What a key of the key table does.
    void Run(KeyCommand command, int button);

    // Escape: closes the find bar, else leaves full screen, else stops the load running. With
    // none of these to do, the window leaves Escape to the page.
    bool EscapeWanted() const;
    void Escape();

    // The find bar, made on its first use: most windows never search.
    FindBar& Find();
    // The find bar if it was made, else nullptr.
    FindBar* Bar() const { return FindBarMade.get(); }
    void OpenFindBar();

    // The zoom, in percent, kept for the window's life (not saved).
    int ZoomPercent() const { return Zoom; }
    void SetZoom(int percent);
    // How long the status bar shows the zoom, in milliseconds.
    static constexpr guint kZoomTextMs = 2000;
    // The status bar shows the zoom text, which goes once kZoomTextMs have passed.
    bool ZoomTextPending() const;

    bool IsFullScreen() const;
    void ToggleFullScreen();
    void LeaveFullScreen();
    // Leaves full screen before the window closes: returns once the window system has given the
    // window back its frame and bounds, so that the placement saved is the one from before.
    void LeaveFullScreenToClose();

    // The page's events.
    void PageLoading(bool loading);
    void PageNavigated(); // the engine may give a new document its own scale
    void PageFullScreen(bool on);

    // The container is being laid out: while full screen the view covers it and the layout rule
    // waits (returns true); otherwise returns false.
    bool CoverWindow();
    // Puts the find bar at the top-right corner of the view's area.
    void PlaceFindBar();

private:
    bool FindBarShown() const;
    void ApplyZoom();
    static gboolean ZoomTextTimeout(gpointer self);

    BrowserFrm& Window;
    GtkWidget* Layout;
    std::unique_ptr<FindBar> FindBarMade;
    std::unique_ptr<FullScreen> Full;
    bool Loading = false;
    int Zoom = 100;
    std::string ZoomShown; // the zoom text last put in the status bar
    guint ZoomTextTimer = 0;
};

} // namespace browser
