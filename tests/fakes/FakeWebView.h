#pragma once
// A web view that records the operations asked of it and the keys that reach it, with the
// document's title and the matches a search finds set by the test; and the main window on it.

#include "browser/BrowserFrm.h"
#include "platform/web/WebView.h"
#include "platform/window/GtkPlacement.h"

#include <gtk/gtk.h>

#include <array>
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
        const auto key = +[](GtkWidget*, GdkEventKey* key, FakeWebView* self) {
            if (!key->is_modifier) // modifiers alone: no
                self->Calls.push_back(std::string("key ") + gdk_keyval_name(key->keyval));
            return gboolean(TRUE);
        };
        g_signal_connect(View, "key-press-event", G_CALLBACK(key), this);
    }
    ~FakeWebView() override {
        g_signal_handlers_disconnect_by_data(View, this);
        g_object_unref(View);
    }
    FakeWebView(const FakeWebView&) = delete;
    FakeWebView& operator=(const FakeWebView&) = delete;

    GtkWidget* Widget() override { return View; }
    void Navigate(const std::string& address) override { Call("Navigate(" + address + ")"); }
    void GoBack() override { Call("GoBack"); }
    void GoForward() override { Call("GoForward"); }
    void Refresh() override { Call("Refresh"); }
    void Stop() override { Call("Stop"); }
    void GoSearch() override { Call("GoSearch"); }
    void ExecWB(int command, int option) override {
        Call("ExecWB(" + std::to_string(command) + "," + std::to_string(option) + ")");
    }
    std::optional<std::string> DocumentTitle() const override { return Title; }
    void SetFocus() override { Call("SetFocus"), gtk_widget_grab_focus(View); }
    void FindText(const std::string& text, bool backward, bool matchCase, FindDone done) override {
        Call("FindText(" + text + (backward ? ",backward" : ",forward") +
             (matchCase ? ",case)" : ",nocase)"));
        const int matches = text.empty() ? 0 : Matches;
        if (done && Hold)
            Held.emplace_back(std::move(done), matches);
        else if (done)
            done(matches == 0 ? 0 : 1, matches);
    }
    void SetZoomFactor(double factor) override {
        std::ostringstream text;
        text << "SetZoomFactor(" << (Zoom = factor) << ")";
        Call(text.str());
    }
    double ZoomFactor() const override { return Zoom; }
    void ExitFullScreen() override { Call("ExitFullScreen"); }

    // The answers held back, given now, the newest first.
    void AnswerHeld() {
        for (auto held = std::exchange(Held, {}); !held.empty(); held.pop_back())
            held.back().first(held.back().second == 0 ? 0 : 1, held.back().second);
    }

    platform::WebViewEvents Events;   // raise them
    std::optional<std::string> Title; // what Document().Title reads; nothing: the read fails
    std::vector<std::string> Calls;
    int Matches = 0;   // how many matches FindText finds, whatever the text
    bool Hold = false; // FindText's answers wait for AnswerHeld
    double Zoom = 1.0; // set it to mimic an engine that resets the zoom on navigation

private:
    void Call(std::string call) { Calls.push_back(std::move(call)); }
    GtkWidget* View = gtk_event_box_new();
    std::vector<std::pair<FindDone, int>> Held;
};

// The main window on the fake view, with the placement the program gives it.
struct FakeFrame {
    FakeWebView* View = nullptr;
    BrowserFrm Frm{[this](platform::WebViewEvents events) {
        auto view = std::make_unique<FakeWebView>(std::move(events));
        View = view.get();
        return view;
    }};
    std::unique_ptr<platform::PlacementWindow> Placement =
        platform::CreateGtkPlacement(Frm.Window());

    GtkWidget* Window() const { return GTK_WIDGET(Frm.Window()); }
    GdkWindow* Native() const { return gtk_widget_get_window(Window()); }
    std::array<double, 4> Bounds() const {
        return {Placement->Left(), Placement->Top(), Placement->Width(), Placement->Height()};
    }
};
