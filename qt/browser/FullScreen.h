#pragma once
// The page area over the whole screen: the window goes full screen with the web view alone in
// it, the toolbar row, progress bar and status bar out of sight.
//
// The controls' twips are left as laid out: while the window is full screen the layout rule is
// not applied (the view simply covers the client area), and leaving lays the window out again
// at the size it comes back to, so the rule's results are those from before.
//
// Two things may ask for it: the user (F11) and the page (a video's full-screen button). The
// window stays full screen while either wants it; leaving by the user's hand ends both, and
// takes the page out of its full screen too.

#include <QMargins>
#include <QRect>
#include <Qt>
#include <functional>
#include <vector>

class QWidget;

namespace platform {
class WebView;
}

namespace browser {

class FullScreen {
public:
    enum Reason { ByUser = 1, ByPage = 2 };

    // window: the main window; view: the web view in it; hidden: the controls put out of
    // sight; layOut: lays the window out again by its rule.
    FullScreen(QWidget& window, platform::WebView& view, std::vector<QWidget*> hidden,
               std::function<void()> layOut);

    bool IsActive() const { return Reasons != 0; }
    // Full screen for this reason too.
    void Enter(Reason reason);
    // The page left its full screen: the window comes back unless the user asked for it.
    void PageLeft();
    // Back to the window's state and bounds from before, whoever asked. With settle, waits (a
    // second at most) until the window system has given the window its frame and bounds back,
    // so that what is read of the window right after is what it was before (the window closing
    // saves its placement).
    void Leave(bool settle = false);
    // While active: the view covers the client area. Returns whether it is active.
    bool Cover();

private:
    void Restore(bool settle);
    bool Settled() const;

    QWidget& Window;
    platform::WebView& View;
    std::vector<QWidget*> Hidden;
    std::function<void()> LayOut;
    int Reasons = 0;
    Qt::WindowStates StateBefore;
    QRect BoundsBefore;
    QMargins FrameBefore;
};

} // namespace browser
