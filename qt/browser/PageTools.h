#pragma once
// What the main window offers beyond its toolbar: the keys every browser answers to, finding
// text in the page, the page zoom and the page area full screen.
//
// None of it takes part in the layout rule: the find bar floats over the web view, and full
// screen suspends the rule and lays the window out again when it ends.

#include "qt/browser/KeyTable.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class BrowserFrm;
class QLabel;
class QShortcut;

namespace browser {

class FindBar;
class FullScreen;

class PageTools : public QObject {
    Q_OBJECT
public:
    // statusText: the status bar's one text, where the zoom is shown for a moment.
    PageTools(BrowserFrm& window, QLabel& statusText);
    ~PageTools() override;

    // What a key of the key table does.
    void Run(KeyCommand command, int button);

    // Escape: closes the find bar, else leaves full screen, else stops the load running. With
    // none of these to do, the window leaves Escape to the page.
    bool EscapeWanted() const;
    void Escape();

    // The find bar, made on its first use: most windows never search.
    FindBar& Find();
    void OpenFindBar();

    // The zoom, in percent, kept for the window's life (not saved).
    int ZoomPercent() const { return Zoom; }
    void SetZoom(int percent);
    // How long the status bar shows the zoom, in milliseconds.
    static constexpr int kZoomTextMs = 2000;
    // The status bar shows the zoom text, which goes once kZoomTextMs have passed.
    bool ZoomTextPending() const;

    bool IsFullScreen() const;
    void ToggleFullScreen();
    void LeaveFullScreen();
    // Leaves full screen before the window closes: returns once the window system has given the
    // window back its frame and bounds, so that the placement saved is the one from before.
    void LeaveFullScreenToClose();
    // The window's size changed: while full screen the view covers it and the layout rule waits
    // (returns true); otherwise returns false.
    bool CoverWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateEscape();
    void PlaceFindBar();
    bool FindBarShown() const;
    void RaiseFindBar();
    void ApplyZoom();

    BrowserFrm& Window;
    QLabel& StatusText;
    FindBar* Bar = nullptr;
    std::unique_ptr<FullScreen> Full;
    QShortcut* EscapeKey = nullptr;
    bool Loading = false;
    int Zoom = 100;
    QString ZoomShown; // the zoom text last put in the status bar
    QTimer ZoomTextTimer;
};

} // namespace browser
