#pragma once
// A web view that records the operations asked of it and the keys that reach it.

#include "qt/platform/WebView.h"

#include <QKeyEvent>
#include <QKeySequence>
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
    void SetFocus() override { Calls << "SetFocus", setFocus(); }
    void FindText(const QString& text, bool backward, bool matchCase, FindDone done) override {
        Calls << QStringLiteral("FindText(%1,%2,%3)")
                     .arg(text, backward ? "backward" : "forward", matchCase ? "case" : "nocase");
        done ? done(text.isEmpty() || Matches == 0 ? 0 : 1, text.isEmpty() ? 0 : Matches) : void();
    }
    void SetZoomFactor(double factor) override {
        Calls << "SetZoomFactor(" + QString::number(factor) + ")", Zoom = factor;
    }
    double ZoomFactor() const override { return Zoom; }
    void ExitFullScreen() override { Calls << "ExitFullScreen"; }
    void RaiseNavigateComplete(const QString& url = {}) { emit NavigateComplete(url); }

    std::optional<QString> Title; // what Document().Title reads; nothing: the read fails
    QStringList Calls;
    int Matches = 0;   // how many matches FindText finds at once, whatever the text
    double Zoom = 1.0; // set it to mimic an engine that resets the zoom on navigation

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() < Qt::Key_Shift || event->key() > Qt::Key_Alt) { // modifiers alone: no
            Calls << "key " + QKeySequence(event->key()).toString();
        }
    }
};
