#pragma once
// The web view contract: the operations the main window asks of the page component and the
// seven events it raises, with the find, zoom and full-screen services beside them. The real
// component is WebKitGTK (platform/web/WebKitView); the window's logic is tested with a fake.
// Nothing here needs a toolkit header: the widget is handed over as an opaque GtkWidget.

#include <functional>
#include <memory>
#include <optional>
#include <string>

typedef struct _GtkWidget GtkWidget;

namespace platform {

// The status text that ends every load (StatusTextChange).
inline constexpr char kDoneStatusText[] = "Terminé";

// ExecWB commands.
enum ExecWBCommand : int {
    OLECMDID_SAVEAS = 4,
    OLECMDID_PRINT = 6,
    OLECMDID_PRINTPREVIEW = 7,
};

// The seven events of the contract, and the page's full-screen requests. Each may be left
// empty; the view calls them on the GUI thread, never from inside one of its own operations'
// callers' stack frames in a way that would re-enter them.
struct WebViewEvents {
    std::function<void()> DownloadBegin;
    std::function<void()> DownloadComplete;
    std::function<void(const std::string& address)> NavigateComplete;
    std::function<void(const std::string& address)> DocumentComplete;
    std::function<void(const std::string& text)> StatusTextChange;
    std::function<void(int progress, int maximum)> ProgressChange;
    // Raised before a page opens in a new window; setting cancel to true keeps it from opening.
    std::function<void(bool& cancel)> NewWindow;
    // The document's title came after its load had ended (NavigateComplete saw none yet).
    std::function<void()> TitleChange;
    // The page asks to fill the screen (a video's full-screen button) or to leave it.
    std::function<void(bool on)> FullScreenRequested;
};

class WebView {
public:
    virtual ~WebView() = default;

    // The widget to put in the window; owned by the view.
    virtual GtkWidget* Widget() = 0;

    // Starts loading the address, unchanged, and returns at once.
    virtual void Navigate(const std::string& address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    virtual void GoSearch() = 0;
    virtual void ExecWB(int command, int option) = 0;
    // Document().Title: the current document's own title (empty for a page without one), or
    // nothing when there is no document to read it from. UTF-8, cut by the view to a bounded
    // length so that a hostile title costs nothing.
    virtual std::optional<std::string> DocumentTitle() const = 0;
    virtual void SetFocus() = 0;

    // Called once with the match now selected (1-based, 0 for none) and the number of matches.
    using FindDone = std::function<void(int activeMatch, int numberOfMatches)>;
    // Highlights the matches of text and selects the next one (the previous one when backward);
    // the same text and case again move on from the match selected, a new text or case starts
    // afresh. An empty text clears the highlight and calls done with no match, if done is given.
    virtual void FindText(const std::string& text, bool backward, bool matchCase,
                          FindDone done) = 0;
    // The page's scale: 1 is 100 %.
    virtual void SetZoomFactor(double factor) = 0;
    virtual double ZoomFactor() const = 0;
    // Takes the page out of the full screen it asked for (FullScreenRequested(true)).
    virtual void ExitFullScreen() = 0;
};

// Builds the real web view (WebKitGTK) raising the given events. Needs gtk_init and
// PrepareEngine (platform/web/Engine.h) first.
std::unique_ptr<WebView> CreateWebView(WebViewEvents events);

} // namespace platform
