// The main window on GTK on a fake web view: its commands and keys, Escape, full screen, finding
// text, the caption and class other X clients read, status text and progress bar from the page's
// events, and the zoom; and a layout that fits the screen in one native window (CTest runs that
// again on a small screen and at scale 2).
#include "support/Rows.h" // GoogleTest before the X11 headers, whose macros clash with its names

#include "browser/BrowserFrm.h"
#include "browser/FindBar.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "browser/WindowIdentity.h"
#include "browser/WindowTwips.h"
#include "platform/window/GtkPlacement.h"
#include "support/GtkLoop.h"
#include "support/XDisplay.h"

#include <functional>
#include <map>
#include <optional>
#include <sstream>

using namespace testsupport;

namespace {
using testsupport::operator<<;

// Its parts as an ostream writes them, a space between each two.
template <class First, class... More> std::string Text(const First& first, const More&... more) {
    std::ostringstream text;
    text << first;
    ((text << " " << more), ...);
    return text.str();
}
std::string Text(const GdkRectangle& r) {
    return Text(r.x, r.y, r.width, r.height);
}

std::string Short(const std::string& text) { // long texts as 40 characters and their length
    return text.size() <= 300 ? text
                              : text.substr(0, 40) + "…(" + std::to_string(text.size()) + ")";
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t at = 0, next = 0; next != std::string::npos; at = next + separator.size())
        parts.push_back(text.substr(at, (next = text.find(separator, at)) - at));
    return parts;
}

// A web view that records the calls asked of it and the keys that reach it, with the document's
// title and the matches a search finds set by the test.
class FakeWebView : public platform::WebView {
public:
    explicit FakeWebView(platform::WebViewEvents events) : Events(std::move(events)) {
        g_object_ref_sink(View);
        gtk_widget_set_can_focus(View, TRUE);
        const auto key = +[](GtkWidget*, GdkEventKey* key, FakeWebView* self) {
            if (!key->is_modifier) // modifiers alone: no
                self->Call(std::string("key ") + gdk_keyval_name(key->keyval));
            return gboolean(TRUE);
        };
        g_signal_connect(View, "key-press-event", G_CALLBACK(key), this);
    }
    ~FakeWebView() override {
        g_signal_handlers_disconnect_by_data(View, this);
        g_object_unref(View);
    }

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
        Call("SetZoomFactor(" + Text(Zoom = factor) + ")");
    }
    double ZoomFactor() const override { return Zoom; }
    void ExitFullScreen() override { Call("ExitFullScreen"); }

    // The answers held back, given now, the newest first.
    void AnswerHeld() {
        for (auto held = std::exchange(Held, {}); !held.empty(); held.pop_back())
            held.back().first(held.back().second == 0 ? 0 : 1, held.back().second);
    }
    void Call(std::string call) { Calls.push_back(std::move(call)); }

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

// GTK on the test's display before any window is made; typed letters go into the find bar's text
// as they are, without an input method.
const bool kGtk = (g_setenv("GTK_IM_MODULE", "gtk-im-context-simple", TRUE), InitGtk());

// The shown controls (buttons, progress bar, web view, status bar) that reach out of the client
// area or cover another, as "name x,y widthxheight" pairs.
std::string Misplaced(const BrowserFrm& frm) {
    GtkWidget* client = gtk_bin_get_child(GTK_BIN(frm.Window()));
    std::vector<std::pair<std::string, GdkRectangle>> shown;
    std::string misplaced;
    const auto add = [&](std::string name, GtkWidget* control) {
        GdkRectangle r{0, 0, gtk_widget_get_allocated_width(control),
                       gtk_widget_get_allocated_height(control)};
        if (!gtk_widget_get_mapped(control) || r.width <= 1 || r.height <= 1 ||
            !gtk_widget_translate_coordinates(control, client, 0, 0, &r.x, &r.y))
            return;
        name += " " + Text(r) + "; ";
        if (r.x < 0 || r.y < 0 || r.x + r.width > gtk_widget_get_allocated_width(client) ||
            r.y + r.height > gtk_widget_get_allocated_height(client))
            misplaced += "outside: " + name;
        for (const auto& [other, at] : shown)
            if (gdk_rectangle_intersect(&r, &at, nullptr))
                misplaced += "covers: " + other + name;
        shown.emplace_back(name, r);
    };
    for (std::size_t i = 0; i < frm.Bouton.size(); ++i)
        add("Bouton" + std::to_string(i), frm.Bouton[i]);
    add("PBar", frm.PBar);
    add("WB", frm.WB->Widget());
    add("StatusBar", frm.StatusBar);
    return misplaced;
}

struct WindowRow {
    std::string name;
    std::string steps;    // "name" or "name:argument", else keys pressed where the keyboard is
    std::string expected; // State() once the steps are done
};

class MainWindow : public testing::TestWithParam<WindowRow> {
protected:
    void SetUp() override {
        ASSERT_TRUE(kGtk && x.WindowManager() == "Openbox") << "the suite runs under openbox";
        frm.AppCaption = "Navigateur Ulmeco";
        frm.HomeUrl = frm.LinkUrls[0] = "http://127.0.0.1:8080/accueil.html";
        frm.MailUrl = "http://127.0.0.1:8080/courrier.html";
        frm.ShowAbout = [this](BrowserFrm& o) { w.Call(&o == &frm ? "About" : "?"); };
        frm.Unload = [this](int&) { Saved = Placement(); };
        frm.Closed = [] {};
        frm.UpdateCaption(); // as before any page
        g_signal_connect_swapped(window, "realize", G_CALLBACK(+[](int* count) { ++*count; }),
                                 &made);
        if (GetParam().steps.find("start") == std::string::npos) { // else the steps show it
            frm.Show();
            ASSERT_TRUE(WaitUntil([this] { return Settled(); })) << Look();
        }
        w.Calls.clear();
    }

    browser::PageTools& tools() const { return frm.Tools(); }
    GtkWidget* WB() const { return w.Widget(); }
    GdkWindow* Native() const { return gtk_widget_get_window(GTK_WIDGET(window)); }
    GdkWindowState WindowState() const { return gdk_window_get_state(Native()); }
    GtkAllocation Allocation(GtkWidget* widget) const { // none: the client area's
        GtkAllocation a{};
        gtk_widget_get_allocation(widget ? widget : gtk_bin_get_child(GTK_BIN(window)), &a);
        return a;
    }
    bool Sized() const { // laid out at the window's size
        int width = 0, height = 0;
        gtk_window_get_size(window, &width, &height);
        return Allocation(nullptr).width == width && Allocation(nullptr).height == height;
    }
    // Shown, framed, widened to the layout's minimum and laid out at that size.
    bool Settled() const {
        GdkRectangle frame{};
        gdk_window_get_frame_extents(Native(), &frame);
        const bool framed = frame.height > gdk_window_get_height(Native());
        return ServerMapped(window) && framed && Sized() &&
               frm.FormWidth() >= browser::kMinimumOuterWidth;
    }
    // What full screen changes: the window's state, frame and size, the view, the status bar.
    std::string Look() const {
        GdkRectangle frame{};
        gdk_window_get_frame_extents(Native(), &frame);
        return Text(WindowState() & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN),
                    "frame", Text(frame), "client", Text(Allocation(nullptr)), "view",
                    Text(Allocation(WB())), "status", gtk_widget_get_visible(frm.StatusBar),
                    "twips", LaidOut());
    }
    // The layout rule's results: the twips of the web view, the close button and the progress bar.
    std::string LaidOut() const {
        std::string twips;
        for (GtkWidget* control : {WB(), frm.Bouton[0], frm.PBar}) {
            const browser::TwipsRect t = frm.Twips(control);
            twips += Text(t.Left, t.Top, t.Width, t.Height) + "; ";
        }
        return twips;
    }
    // What the program saves of the window's placement when it closes.
    std::string Placement() const {
        const platform::PlacementWindow& p = *placement;
        return Text(p.WindowState(), p.Left(), p.Top(), p.Width(), p.Height());
    }

    // Under openbox, on any screen: each control inside the window, the window on the screen,
    // no size hint wider than it; where the screen holds it, a normal window gets the minimum
    // width. The state the placement gives before the window shows makes its one native window.
    void Fits() {
        const xcb_window_t xid = gdk_x11_window_get_xid(Native());
        const GdkRectangle screen = browser::ScreenWorkArea(window);
        const int scale = gtk_widget_get_scale_factor(GTK_WIDGET(window));
        if (state == 0 &&
            screen.width * browser::TwipsPerPixel() >= browser::kMinimumOuterWidth + 600) {
            EXPECT_TRUE(WaitUntil([&] { return frm.FormWidth() == browser::kMinimumOuterWidth; }))
                << frm.FormWidth();
        }
        // The window settles through sizes that hold only for a moment (the design size on a
        // small screen among them): all of it must hold at once, the X server's width being GTK's.
        std::string seen;
        EXPECT_TRUE(WaitUntil([&] {
            GdkRectangle frame{};
            gdk_window_get_frame_extents(Native(), &frame);
            const int serverWidth = x.Bounds(xid).width;
            seen = Text("frame", Text(frame), "on", Text(screen), "X server width", serverWidth,
                        Misplaced(frm));
            return serverWidth == gdk_window_get_width(Native()) * scale && frame.x >= screen.x &&
                   frame.x + frame.width <= screen.x + screen.width && Misplaced(frm).empty();
        })) << seen;
        EXPECT_EQ(frm.Twips(WB()).Width, frm.FormWidth() - 140);
        const auto hints = x.Cardinals(xid, "WM_NORMAL_HINTS"); // flags; size, min, max at 3, 5, 7
        for (const auto& [flags, at] : {std::pair{8u | 2u, 3}, {16u, 5}, {32u, 7}})
            EXPECT_TRUE(hints.size() <= 7 || !(hints[0] & flags) ||
                        hints[at] <= std::uint32_t(screen.width * scale))
                << "hint " << at << ": " << hints[at];
        EXPECT_EQ(made, 1) << "native windows";
    }

    void Do(const std::string& steps) {
        const std::map<std::string, std::function<void(const std::string&)>> acts{
            {"begin", [&](auto&) { w.Events.DownloadBegin(); }},
            {"navigated", [&](auto&) { w.Events.NavigateComplete({}); }},
            {"title", [&](auto& a) { w.Title = a, w.Events.NavigateComplete({}); }},
            {"page", [&](auto& a) { w.Events.FullScreenRequested(a == "full"); }},
            {"status", [&](auto& a) { w.Events.StatusTextChange(a); }},
            {"progress",
             [&](auto& a) {
                 w.Events.ProgressChange(std::stoi(a), std::stoi(a.substr(a.find('/') + 1)));
             }},
            {"new window", [&](auto&) { w.Events.NewWindow(Cancel = false); }},
            {"matches", [&](auto& a) { w.Matches = std::stoi(a); }},
            {"hold", [&](auto&) { w.Hold = true; }},
            {"answer", [&](auto&) { w.AnswerHeld(); }},
            {"engine resets", [&](auto&) { w.Zoom = 1.0; }},
            {"clear", [&](auto&) { w.Calls.clear(); }},
            {"zoom text gone",
             [&](auto&) { ASSERT_TRUE(WaitUntil([&] { return !tools().ZoomTextPending(); })); }},
            {"click", [&](auto& a) { gtk_button_clicked(GTK_BUTTON(frm.Bouton[std::stoi(a)])); }},
            {"links menu", // the home button's drop-down part, then an entry of the menu it opens
             [&](auto& a) {
                 gtk_button_clicked(GTK_BUTTON(frm.HomeArrow));
                 ASSERT_TRUE(WaitUntil([&] { return gtk_widget_get_mapped(frm.MenuLiens); }));
                 gtk_menu_item_activate(GTK_MENU_ITEM(frm.MLink[std::stoi(a)]));
                 gtk_menu_shell_deactivate(GTK_MENU_SHELL(frm.MenuLiens));
             }},
            {"close box", [&](auto&) { Dispatch(GDK_DELETE, Native()); }},
            // The placement given before the window shows: a state, an outer width in twips.
            {"state", [&](auto& a) { placement->SetWindowState(state = std::stoi(a)); }},
            {"width", [&](auto& a) { placement->Move(0, 0, std::stoi(a), 6000); }},
            {"start",
             [&](auto&) {
                 frm.Show();
                 ASSERT_TRUE(WaitUntil([&] {
                     return ServerMapped(window) &&
                            (frm.FormWindowState() == platform::vbMaximized) == (state == 2);
                 }));
             }},
            {"fits", [&](auto&) { Fits(); }},
            {"remember",
             [&](auto&) {
                 ASSERT_TRUE(WaitUntil([&] { return Settled(); })) << Look();
                 Before = Look(), LaidOutBefore = LaidOut(), PlacementBefore = Placement();
             }},
            {"shown full", // the web view covering the window, and the layout rule waits
             [&](auto&) {
                 ASSERT_TRUE(WaitUntil([&] {
                     const GtkAllocation view = Allocation(WB()), all = Allocation(nullptr);
                     return tools().IsFullScreen() &&
                            (WindowState() & GDK_WINDOW_STATE_FULLSCREEN) && Sized() &&
                            view.width == all.width && view.height == all.height;
                 })) << Look();
                 ASSERT_EQ(LaidOut(), LaidOutBefore);
             }},
            {"maximize", // maximized, and laid out at the larger size the window manager gave
             [&](auto&) {
                 const int width = Allocation(nullptr).width;
                 gtk_window_maximize(window);
                 ASSERT_TRUE(WaitUntil([&] {
                     return (WindowState() & GDK_WINDOW_STATE_MAXIMIZED) && Sized() &&
                            Allocation(nullptr).width > width;
                 }));
             }},
        };
        for (const std::string& step : Split(steps, ", ")) {
            const std::size_t colon = step.find(':');
            const auto act = acts.find(step.substr(0, colon));
            if (act == acts.end())
                Press(window, step);
            else
                act->second(colon == std::string::npos ? std::string() : step.substr(colon + 1));
            if (HasFatalFailure())
                return;
        }
    }

    // The calls asked of the web view and the keys it got, then what the window shows.
    std::string State() const {
        const browser::FindBar* bar = tools().Bar();
        const bool barShown = bar != nullptr && bar->Shown();
        const bool visible = gtk_widget_get_visible(GTK_WIDGET(window));
        GList* shown = gtk_container_get_children(
            GTK_CONTAINER(gtk_statusbar_get_message_area(GTK_STATUSBAR(frm.StatusBar))));
        const std::string status = gtk_label_get_text(GTK_LABEL(shown->data));
        g_list_free(shown);
        std::string calls, text;
        for (const std::string& call : w.Calls)
            calls += (calls.empty() ? "" : " ") + call;
        const auto add = [&text](bool shown, const std::string& part) {
            text += !shown || part.empty() ? "" : (text.empty() ? "" : "; ") + part;
        };
        add(true, Short(calls));
        add(!Cancel, "opened");
        add(!visible, "closed");
        add(barShown,
            barShown ? "find bar: " + std::string(gtk_label_get_text(GTK_LABEL(bar->Count))) : "");
        add(tools().IsFullScreen(), "full screen");
        add(visible && !Before.empty() && Look() == Before, "as before");
        add(!PlacementBefore.empty() && !Saved.empty(),
            Saved == PlacementBefore ? "placement as before" : "placement: " + Saved);
        add(gtk_widget_get_visible(frm.PBar), "progress " + std::to_string(frm.ProgressValue()) +
                                                  "/" + std::to_string(frm.ProgressMaximum()));
        add(!status.empty(),
            "status: " + Short(status) + (tools().ZoomTextPending() ? " (goes)" : ""));
        add(!frm.LastLinkUrl.empty(), "link: " + Short(frm.LastLinkUrl));
        const xcb_window_t xid = gdk_x11_window_get_xid(Native());
        add(x.Caption(xid) != frm.AppCaption, "caption: " + x.Caption(xid));
        add(x.Class(xid) != browser::kWindowClass, "class: " + x.Class(xid));
        // The keyboard is with the page, or in the find bar's text.
        GtkWidget* focus = gtk_window_get_focus(window);
        add(visible && focus != WB() && !(barShown && focus == bar->Text),
            std::string("focus: ") + (focus ? G_OBJECT_TYPE_NAME(focus) : "none"));
        return text;
    }

    mutable XDisplay x; // what other clients read
    // The main window on the fake view, with the placement the program gives it.
    FakeWebView* view = nullptr;
    mutable BrowserFrm frm{[this](platform::WebViewEvents events) { // read by const helpers
        auto made = std::make_unique<FakeWebView>(std::move(events));
        view = made.get();
        return made;
    }};
    FakeWebView& w = *view;
    GtkWindow* const window = frm.Window();
    const std::unique_ptr<platform::PlacementWindow> placement =
        platform::CreateGtkPlacement(window);
    std::string Before, LaidOutBefore, PlacementBefore; // when remembered
    std::string Saved;                                  // the placement read when the window closed
    bool Cancel = true; // what the window answered the last new window: nothing opens
    int state = 0;      // the state the placement gave before the window showed
    int made = 0;       // native windows made for the window
};

TEST_P(MainWindow, Steps) {
    const WindowRow& row = GetParam();
    Do(row.steps);
    ASSERT_FALSE(HasFatalFailure());
    WaitUntil([&] { return State() == row.expected; }); // access keys click a moment later
    EXPECT_EQ(State(), row.expected)
        << (Before.empty() ? "" : "before: " + Before + "\nnow:    " + Look());
}

// Words ("x=word", $x in rows), rows ("name | steps | State() after them", "-": nothing).
// The caption ends in the program's name within the 254 characters that a later start's
// search reads of it: the title gives way, control characters are left out.
const char kTable[] = R"(
f=SetFocus
o=FindText(,forward,nocase) SetFocus
n=FindText(lune,forward,nocase)
F=remember, F11, shown full
P=remember, page:full, shown full
z=status: Zoom :
S=status: http://b/; link: http://b/
s=status:http://127.0.0.1/avant.html
u= - Navigateur Ulmeco
command: Alt+P | <Alt>p | $f GoBack
command: Alt+Right | <Alt>Right | $f GoForward
command: F5 | F5 | $f Refresh
command: Alt+T | <Alt>t | $f Stop
command: Alt+D, the home button's main part | <Alt>d | $f Navigate(http://127.0.0.1:8080/accueil.html)
command: home button's links menu | links menu:0 | Navigate(http://127.0.0.1:8080/accueil.html) $f
command: Alt+C | <Alt>c | $f GoSearch
command: Ctrl+P | <Ctrl>p | $f ExecWB(6,0)
command: Alt+R | <Alt>r | $f ExecWB(7,0)
command: Ctrl+S | <Ctrl>s | $f ExecWB(4,0)
command: About button | click:10 | $f About
command: Alt+M | <Alt>m | $f Navigate(http://127.0.0.1:8080/courrier.html)
command: Alt+F closes | <Alt>f | SetFocus; closed
Escape: idle page gets it | Escape | key Escape
Escape: stops a load | begin, Escape | $f Stop; progress 0/100
Escape: find bar before full screen | F11, <Ctrl>f, clear, Escape | $o; full screen
full screen: F11, Escape | $F, Escape | as before
full screen: page asks, Escape | $P, Escape, page:normal | ExitFullScreen; as before
full screen: F11 outlasts the page | $F, page:full, page:normal, F11 | as before
full screen: maximized comes back | maximize, $F, F11 | as before
full screen: closing saves the placement from before | $F, close box | closed; placement as before
find: several | matches:3, <Ctrl>f, l, u, n, clear, e | $n; find bar: 3 résultats
find: one | matches:1, <Ctrl>f, l, u, n, clear, e | $n; find bar: 1 résultat
find: none | <Ctrl>f, l, u, n, clear, e | $n; find bar: Aucun résultat
find: Enter moves on | matches:2, <Ctrl>f, l, u, n, e, clear, Return | $n; find bar: 2 résultats
find: Shift+Enter goes back | <Ctrl>f, l, u, n, e, clear, <Shift>Return | FindText(lune,backward,nocase); find bar: Aucun résultat
find: an older answer dropped | hold, matches:1, <Ctrl>f, l, matches:3, u, clear, answer | find bar: 3 résultats
progress: Terminé hides | begin, progress:70/100, status:Terminé | status: Terminé
progress: maximum below one hidden | progress:10/-2147483647 | -
zoom: Ctrl++ | <Ctrl>plus | SetZoomFactor(1.1); $z 110 % (goes)
zoom: none past the smallest | $mclear, <Ctrl>minus | $z 25 % (goes)
zoom: none past the largest | $pclear, <Ctrl>plus | $z 500 % (goes)
zoom: text goes | <Ctrl>plus, clear, zoom text gone | -
zoom: a new page keeps it | <Ctrl>plus, clear, engine resets, navigated | SetZoomFactor(1.1); $z 110 % (goes)
status: address | $s, status:http://b/, new window | Navigate(http://b/); $S
status: javascript | $s, status:javascript:void(0), new window | opened; status: javascript:void(0)
caption: failing read | navigated | -
caption: 254 characters, a pair counting as one | title:$y$e$eb | caption: $y$e$e$u
caption: control characters | title:$k | caption: [31m$u
layout: first start, maximized | state:2, start, fits | $f
layout: designed size | start, fits | $f
layout: stored width below the minimum | width:9000, start, fits | $f)";

std::vector<WindowRow> Rows() {
    std::map<char, std::string> word{{'y', std::string(232, 'a')},
                                     {'e', "\U0001F600"},
                                     {'k', std::string("\0\x01\x1B[31m\x7F\xC2\x85\n\t", 12)}};
    for (const std::string& line : Split(kTable, "\n"))
        if (!line.empty() && line.find(" | ") == std::string::npos)
            word[line[0]] = line.substr(2);
    for (int i = 0; i < 9; ++i) // past the smallest and largest steps
        word['m'] += i < 7 ? "<Ctrl>minus, " : "", word['p'] += "<Ctrl>plus, ";
    const auto expand = [&word](std::string text) {
        for (std::size_t at; (at = text.find('$')) != std::string::npos;)
            text.replace(at, 2, word.at(text[at + 1]));
        return text == "-" ? std::string() : text;
    };
    std::vector<WindowRow> rows;
    for (const std::string& line : Split(kTable, "\n"))
        if (const auto cells = Split(line, " | "); cells.size() == 3)
            rows.push_back({cells[0], expand(cells[1]), expand(cells[2])});
    const std::string address = "http://" + std::string(1 << 20, 'a');
    rows.push_back({"status: a megabyte of address", "remember, status:" + address + ", new window",
                    Short("Navigate(" + address + ")") + "; as before; status: " +
                        Short(address.substr(0, 2048)) + "; link: " + Short(address)});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Window, MainWindow, testing::ValuesIn(Rows()), RowName<WindowRow>);

} // namespace
