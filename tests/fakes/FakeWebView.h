#pragma once
// A web view that records the operations asked of it and the keys that reach it, with the
// document's title and the matches a search finds set by the test, and its events raised by it.

#include "platform/web/WebView.h"

#include <gtk/gtk.h>

#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

class FakeWebView : public platform::WebView {
public:
    explicit FakeWebView(platform::WebViewEvents events) : Events(std::move(events)) {
        g_object_ref_sink(View);
        gtk_widget_set_can_focus(View, TRUE);
        g_signal_connect(View, "key-press-event",
                         G_CALLBACK(+[](GtkWidget*, GdkEventKey* key, gpointer self) {
                             if (!key->is_modifier) { // modifiers alone: no
                                 static_cast<FakeWebView*>(self)->Calls.push_back(
                                     std::string("key ") + gdk_keyval_name(key->keyval));
                             }
                             return gboolean(TRUE);
                         }),
                         this);
    }
    ~FakeWebView() override {
        g_signal_handlers_disconnect_by_data(View, this);
        g_object_unref(View);
    }
    FakeWebView(const FakeWebView&) = delete;
    FakeWebView& operator=(const FakeWebView&) = delete;

    GtkWidget* Widget() override { return View; }
    void Navigate(const std::string& address) override {
        Calls.push_back("Navigate(" + address + ")");
    }
    void GoBack() override { Calls.push_back("GoBack"); }
    void GoForward() override { Calls.push_back("GoForward"); }
    void Refresh() override { Calls.push_back("Refresh"); }
    void Stop() override { Calls.push_back("Stop"); }
    void GoSearch() override { Calls.push_back("GoSearch"); }
    void ExecWB(int command, int option) override {
        Calls.push_back("ExecWB(" + std::to_string(command) + "," + std::to_string(option) + ")");
    }
    std::optional<std::string> DocumentTitle() const override { return Title; }
    void SetFocus() override {
        Calls.push_back("SetFocus");
        gtk_widget_grab_focus(View);
    }
    void FindText(const std::string& text, bool backward, bool matchCase, FindDone done) override {
        Calls.push_back("FindText(" + text + (backward ? ",backward" : ",forward") +
                        (matchCase ? ",case)" : ",nocase)"));
        const int matches = text.empty() ? 0 : Matches;
        if (!done) {
            return;
        }
        if (Hold) {
            Held.emplace_back(std::move(done), matches);
            return;
        }
        done(matches == 0 ? 0 : 1, matches);
    }
    void SetZoomFactor(double factor) override {
        std::ostringstream text;
        text << "SetZoomFactor(" << factor << ")";
        Calls.push_back(text.str());
        Zoom = factor;
    }
    double ZoomFactor() const override { return Zoom; }
    void ExitFullScreen() override { Calls.push_back("ExitFullScreen"); }

    // The answers held back, given now, the newest first.
    void AnswerHeld() {
        auto held = std::move(Held);
        Held.clear();
        for (auto at = held.rbegin(); at != held.rend(); ++at) {
            at->first(at->second == 0 ? 0 : 1, at->second);
        }
    }

    platform::WebViewEvents Events;   // raise them
    std::optional<std::string> Title; // what Document().Title reads; nothing: the read fails
    std::vector<std::string> Calls;
    int Matches = 0;   // how many matches FindText finds, whatever the text
    bool Hold = false; // FindText's answers wait for AnswerHeld
    double Zoom = 1.0; // set it to mimic an engine that resets the zoom on navigation

private:
    GtkWidget* View = gtk_event_box_new();
    std::vector<std::pair<FindDone, int>> Held;
};
