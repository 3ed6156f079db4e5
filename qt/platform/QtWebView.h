#pragma once
// The web view contract on Qt WebEngine: a widget holding an engine view whose signals become the
// contract's events.
//
//   loadStarted                    -> DownloadBegin
//   loadProgress(p)                -> ProgressChange(p, 100)
//   linkHovered(address)           -> StatusTextChange(address), empty when the pointer leaves
//   loadFinished, title read       -> NavigateComplete, DocumentComplete, DownloadComplete, then
//                                     StatusTextChange("Terminé")
//   createWindow                   -> NewWindow(cancel); not cancelled: a PopupWindow
//                                     (the menu's new-window entries open one without asking)
//   printRequested (window.print)  -> the print command, ExecWB(OLECMDID_PRINT)
//   fullScreenRequested            -> FullScreenRequested(on), the request accepted
//   renderProcessTerminated        -> StatusTextChange(what happened and how to reload), and a
//                                     notice over the page until the next load
//
// NavigateComplete waits until the document's own title has been read from the page, so that
// DocumentTitle() answers with it (the engine's title() falls back on the address): its first
// TitleReadMax characters, far more than a caption shows.

#include "qt/platform/WebView.h"
#include "qt/platform/WebViewServices.h"

#include <QElapsedTimer>
#include <QUrl>

class QWebEnginePage;
class QWebEngineView;

namespace platform {

class WebPage;

class QtWebView : public WebView {
    Q_OBJECT
public:
    QtWebView(WebViewServices services, QWidget* parent);
    ~QtWebView() override;

    void Navigate(const QString& address) override;
    void GoBack() override;
    void GoForward() override;
    void Refresh() override;
    void Stop() override;
    void GoSearch() override;
    void ExecWB(int command, int option) override;
    std::optional<QString> DocumentTitle() const override;
    void SetFocus() override;
    void FindText(const QString& text, bool backward, bool matchCase, FindDone done) override;
    void SetZoomFactor(double factor) override;
    double ZoomFactor() const override;
    void ExitFullScreen() override;

    // The engine page, to be handed to the engine when it asked for a new window.
    QWebEnginePage* Page() const;
    // The address shown now.
    QUrl Url() const;
    // The process that renders the page now; 0 when there is none.
    qint64 RendererPid() const;

    // The address an address string names: full addresses as they are, anything else read as a
    // user would type it ("127.0.0.1:8080/x" -> http://127.0.0.1:8080/x).
    static QUrl AddressToUrl(const QString& address);

    // The most characters of a document's title that DocumentTitle() gives.
    static constexpr qsizetype TitleReadMax = 2048;

    // The page GoSearch opens.
    static constexpr char SearchPage[] = "https://www.qwant.com/";

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadStarted();
    void LoadFinished(bool ok);
    void RaiseLoadEnd();
    void ReadTitle(const std::function<void()>& then);
    void RendererGone();
    void PagePrintRequested();
    // A new window's page; when the page asks for it, only if NewWindow lets it open.
    QWebEnginePage* OpenWindow(bool pageAsked);

    QWebEngineView* View;
    WebPage* PageShown;
    QWidget* StoppedNotice;       // over the page while its renderer is gone
    QElapsedTimer PagePrintQuiet; // since the page's last print request after a dialog
    std::optional<QString> Title;
    // Counts the loads started, so that a late answer about an older load is dropped.
    quint64 LoadNumber = 0;
    bool Loading = false;
    bool StopAsked = false;
    bool Closing = false;
    bool FindMatchCase = false; // the case rule of the last search
};

// The real view with chosen services (tests answer the dialogs themselves).
std::unique_ptr<WebView> CreateWebView(QWidget* parent, WebViewServices services);

} // namespace platform
