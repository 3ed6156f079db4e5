#pragma once
// A web view that records the operations asked of it and raises the contract's events on demand.

#include "platform/WebView.h"

#include <QStringList>
#include <optional>

class FakeWebView : public platform::WebView {
    Q_OBJECT
public:
    using platform::WebView::WebView;

    void Navigate(const QString& address) override { Calls << "Navigate(" + address + ")"; }
    void GoBack() override { Calls << "GoBack"; }
    void GoForward() override { Calls << "GoForward"; }
    void Refresh() override { Calls << "Refresh"; }
    void Stop() override { Calls << "Stop"; }
    void GoSearch() override { Calls << "GoSearch"; }
    void ExecWB(int command, int option) override {
        Calls << QStringLiteral("ExecWB(%1,%2)").arg(command).arg(option);
    }
    std::optional<QString> DocumentTitle() const override { return Title; }
    void SetFocus() override {
        Calls << "SetFocus";
        setFocus();
    }
    // Answers at once, as a page holding Matches matches of any text would.
    void FindText(const QString& text, bool backward, bool matchCase, FindDone done) override {
        Calls << QStringLiteral("FindText(%1,%2,%3)")
                     .arg(text, backward ? "backward" : "forward", matchCase ? "case" : "nocase");
        if (done) {
            done(text.isEmpty() || Matches == 0 ? 0 : 1, text.isEmpty() ? 0 : Matches);
        }
    }
    void SetZoomFactor(double factor) override {
        Calls << QStringLiteral("SetZoomFactor(%1)").arg(factor);
        Zoom = factor;
    }
    double ZoomFactor() const override { return Zoom; }
    void ExitFullScreen() override { Calls << "ExitFullScreen"; }

    // What the next Document().Title read yields; nothing means the read fails.
    std::optional<QString> Title;
    QStringList Calls;
    int Matches = 0; // how many matches FindText finds, whatever the text
    // The zoom factor; set it to mimic an engine that resets the zoom on navigation.
    double Zoom = 1.0;

    // Raise the events, as the real component does.
    void RaiseDownloadBegin() { emit DownloadBegin(); }
    void RaiseDownloadComplete() { emit DownloadComplete(); }
    void RaiseNavigateComplete(const QString& url = {}) { emit NavigateComplete(url); }
    void RaiseDocumentComplete(const QString& url = {}) { emit DocumentComplete(url); }
    void RaiseStatusTextChange(const QString& text) { emit StatusTextChange(text); }
    void RaiseProgressChange(int progress, int maximum) { emit ProgressChange(progress, maximum); }
    void RaiseFullScreenRequested(bool on) { emit FullScreenRequested(on); }
    bool RaiseNewWindow() {
        bool cancel = false;
        emit NewWindow(&cancel);
        return cancel;
    }
};
