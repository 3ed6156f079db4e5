#pragma once
// The page area over the whole screen: the window goes full screen with the web view alone in
// it, the toolbar row, progress bar and status bar out of sight.
//
// The controls' twips are left as laid out: while the window is full screen the layout rule is
// not applied (the view covers the container), and leaving lays the window out again at the
// size it comes back to, so the rule's results are those from before.
//
// Two things may ask for it: the user (F11) and the page (a video's full-screen button). The
// window stays full screen while either wants it; leaving by the user's hand ends both, and
// takes the page out of its full screen too.

#include <gtk/gtk.h>

#include <functional>
#include <vector>

namespace platform {
class WebView;
}

namespace browser {

class FullScreen {
public:
    enum Reason { ByUser = 1, ByPage = 2 };

    // layout: the window's container, which the view covers; hidden: the controls hidden while
    // full screen (the progress bar, whose visibility the page events keep, is put out of sight
    // by the container); layOut: lays the window out again by its rule.
    FullScreen(GtkWindow* window, GtkWidget* layout, platform::WebView& view,
               std::vector<GtkWidget*> hidden, std::function<void()> layOut);

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

private:
    void Restore(bool settle);
    bool Settled() const;

    GtkWindow* Window;
    GtkWidget* Layout;
    platform::WebView& View;
    std::vector<GtkWidget*> Hidden;
    std::function<void()> LayOut;
    int Reasons = 0;
    bool MaximizedBefore = false;
    int WidthBefore = 0, HeightBefore = 0; // the client size
    GdkRectangle FrameBefore{};            // the frame's bounds on the screen
};

} // namespace browser
