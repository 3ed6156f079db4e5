#pragma once
// The web view contract: the operations the main window asks of the page component and the
// seven events it raises. The real component lives in platform/ (Qt WebEngine); tests use a fake.
// Beyond those: finding text in the page, the zoom factor, and the page's full-screen requests.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

// The status text that ends every load (StatusTextChange).
inline constexpr char16_t kDoneStatusText[] = u"Terminé";

// ExecWB commands.
enum ExecWBCommand : int {
    OLECMDID_SAVEAS = 4,
    OLECMDID_PRINT = 6,
    OLECMDID_PRINTPREVIEW = 7,
};

class WebView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~WebView() override = default;

    // Starts loading the address, unchanged, and returns at once.
    virtual void Navigate(const QString& address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    virtual void GoSearch() = 0;
    virtual void ExecWB(int command, int option) = 0;
    // Document().Title: the current document's own title (empty for a page without one), or
    // nothing when there is no document to read it from.
    virtual std::optional<QString> DocumentTitle() const = 0;
    virtual void SetFocus() = 0;

    // Called once with the match now selected (1-based, 0 for none) and the number of matches.
    using FindDone = std::function<void(int activeMatch, int numberOfMatches)>;
    // Highlights the matches of text and selects the next one (the previous one when backward);
    // the same text and case again move on from the match selected, a new text or case starts
    // afresh. An empty text clears the highlight
    // and calls done with no match, if done is given.
    virtual void FindText(const QString& text, bool backward, bool matchCase, FindDone done) = 0;
    // The page's scale: 1 is 100 %.
    virtual void SetZoomFactor(double factor) = 0;
    virtual double ZoomFactor() const = 0;
    // Takes the page out of the full screen it asked for (FullScreenRequested(true)).
    virtual void ExitFullScreen() = 0;

signals:
    void DownloadBegin();
    void DownloadComplete();
    void NavigateComplete(const QString& address);
    void DocumentComplete(const QString& address);
    void StatusTextChange(const QString& text);
    void ProgressChange(int progress, int maximum);
    // Raised before a page opens in a new window; setting *cancel to true keeps it from opening.
    void NewWindow(bool* cancel);
    // The page asks to fill the screen (a video's full-screen button) or to leave it. The request
    // is granted: the window shows the view alone over the whole screen, or comes back.
    void FullScreenRequested(bool on);
};

// Builds the real web view (Qt WebEngine) as a child of parent.
std::unique_ptr<WebView> CreateWebView(QWidget* parent);

} // namespace platform
