#pragma once
// The web view on WebKitGTK: every engine signal of one page lands here and becomes one of the
// contract's events. The page's dialogs (print, save, credentials, downloads) live in files of
// their own and reach the view through Of(page).

#include "platform/web/GObjectPtr.h"
#include "platform/web/WebView.h"
#include "platform/web/WebViewServices.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitFindController WebKitFindController;

namespace platform {

class WebKitView final : public WebView {
public:
    // related: the page that opens this one in a window of its own (it keeps its opener).
    WebKitView(WebViewEvents events, WebViewServices services, WebKitWebView* related = nullptr);
    ~WebKitView() override;
    WebKitView(const WebKitView&) = delete;
    WebKitView& operator=(const WebKitView&) = delete;

    GtkWidget* Widget() override;
    void Navigate(const std::string& address) override;
    void GoBack() override;
    void GoForward() override;
    void Refresh() override;
    void Stop() override;
    void GoSearch() override;
    void ExecWB(int command, int option) override;
    std::optional<std::string> DocumentTitle() const override;
    void SetFocus() override;
    void FindText(const std::string& text, bool backward, bool matchCase, FindDone done) override;
    void SetZoomFactor(double factor) override;
    double ZoomFactor() const override;
    void ExitFullScreen() override;

    // The engine's page, owned by the view.
    WebKitWebView* Page() const { return View; }
    const WebViewServices& Services() const { return ServicesUsed; }
    // Raises StatusTextChange.
    void ShowStatus(const std::string& text);
    // The view showing this page, or nullptr once it is gone.
    static WebKitView* Of(WebKitWebView* page);
    // A print job or its dialog runs: further requests are set aside.
    bool IsPrinting() const;
    void SetPrinting(bool printing);

    // The most characters of a title kept: more would be cut by every caption anyway.
    static constexpr std::size_t kTitleReadMax = 2048;
    static constexpr char kSearchPage[] = "https://www.qwant.com/";

private:
    void Connect();
    void LoadStarted();
    void LoadCommitted();
    void LoadFinished();
    void RaiseLoadEnd();
    void ReadTitle();
    void ProcessGone();
    void HoverChanged(bool isLink, const std::string& link);
    void PagePrintRequested(void* operation);
    void FindAnswered(int matches, bool counted);
    GtkWidget* OpenWindow();

    WebViewEvents Events;
    WebViewServices ServicesUsed;
    GtkWidget* Frame = nullptr; // a GtkOverlay: the page, and the notice over it; ours
    WebKitWebView* View = nullptr;
    GtkWidget* Notice = nullptr; // shown over a page whose process is gone
    std::vector<unsigned long> Handlers;
    std::vector<unsigned long> FindHandlers;
    std::optional<std::string> Title;
    std::string ShownAddress; // of the document last committed
    bool Loading = false;
    // The load ended before the document's title came (the engine may tell it later).
    bool TitleAwaited = false;
    bool StopAsked = false;
    bool ProcessIsGone = false;
    bool LoadFailed = false;
    bool FailedByPolicy = false;
    bool HoveringLink = false;
    bool Printing = false;
    std::int64_t PagePrintQuietSince = -1; // monotonic µs of the last page print, -1 none
    // The search in progress: its text, case, the match selected and the answers awaited.
    std::string FindTextShown;
    bool FindMatchCase = false;
    int FindActive = 0;
    int FindCount = -1;
    int FindFound = -1;
    FindDone FindWaiting;
};

} // namespace platform
