// The main window on GTK on a fake web view: its commands and keys, Escape, full screen, finding
// text, the caption and class other X clients read, status text and progress bar from the page's
// events, and the zoom; one native window on the real engine, and a layout that fits the screen
// (CTest runs that again on a small screen and at scale 2).
// GoogleTest before the X11 headers, whose macros clash with its names.
#include "support/Rows.h"

#include "browser/FindBar.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "browser/WindowIdentity.h"
#include "browser/WindowTwips.h"
#include "fakes/FakeWebView.h"
#include "platform/web/Engine.h"
#include "support/GtkLoop.h"
#include "support/XDisplay.h"
#include "x11/Events.h"

#include <functional>
#include <map>

using namespace testsupport;

namespace {
using testsupport::operator<<;

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

// Keys as GTK writes accelerators: "<Ctrl>p", "<Alt>Right", "F11".
void PressKeys(GtkWindow* window, const std::string& keys) {
    guint keyval = 0;
    GdkModifierType modifiers{};
    gtk_accelerator_parse(keys.c_str(), &keyval, &modifiers);
    ASSERT_NE(keyval, 0u) << keys;
    Press(window, keyval, modifiers);
}

// The engine is prepared before GTK starts, as the program does; the real web view needs it.
class Environment : public testing::Environment {
public:
    void SetUp() override {
        // Typed letters go into the find bar's text as they are, without an input method.
        g_setenv("GTK_IM_MODULE", "gtk-im-context-simple", TRUE);
        platform::PrepareEngine();
        ASSERT_TRUE(InitGtk()) << "no X display";
    }
};
const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

struct WindowRow {
    std::string name;
    std::string steps;    // "name" or "name:argument", else keys pressed where the keyboard is
    std::string expected; // State() once the steps are done
};

class MainWindow : public ::testing::TestWithParam<WindowRow> {
protected:
    void SetUp() override {
        f = std::make_unique<FakeFrame>();
        web = f->View;
        frm().AppCaption = "Navigateur Ulmeco";
        frm().HomeUrl = frm().LinkUrls[0] = "http://127.0.0.1:8080/accueil.html";
        frm().MailUrl = "http://127.0.0.1:8080/courrier.html";
        frm().ShowAbout = [this](BrowserFrm& o) {
            web->Calls.push_back(&o == &frm() ? "About" : "?");
        };
        frm().Unload = [this](int&) { Saved = Placement(); };
        frm().Closed = [] {};
        frm().UpdateCaption(); // as before any page
        frm().Show();
        ASSERT_TRUE(WaitUntil([this] { return Settled(); })) << Look();
        web->Calls.clear();
    }
    void TearDown() override { f.reset(); }

    BrowserFrm& frm() const { return f->Frm; }
    browser::PageTools& tools() const { return frm().Tools(); }
    GtkWindow* window() const { return frm().Window(); }
    GtkWidget* WB() const { return web->Widget(); }
    GdkWindowState WindowState() const { return gdk_window_get_state(f->Native()); }
    GtkAllocation Allocation(GtkWidget* widget) const {
        GtkAllocation a{};
        gtk_widget_get_allocation(widget ? widget : gtk_bin_get_child(GTK_BIN(window())), &a);
        return a;
    }
    bool Sized() const { // laid out at the window's size
        int width = 0, height = 0;
        gtk_window_get_size(window(), &width, &height);
        return Allocation(nullptr).width == width && Allocation(nullptr).height == height;
    }
    // Shown, framed, widened to the layout's minimum and laid out at that size.
    bool Settled() const {
        GdkRectangle frame{};
        gdk_window_get_frame_extents(f->Native(), &frame);
        const bool framed =
            !WindowManagerRuns() || frame.height > gdk_window_get_height(f->Native());
        return ServerMapped(window()) && framed && Sized() &&
               frm().FormWidth() >= browser::kMinimumOuterWidth;
    }
    // The web view covers the window, full screen where a window manager runs.
    bool Full() const {
        const bool state = !WindowManagerRuns() || (WindowState() & GDK_WINDOW_STATE_FULLSCREEN);
        const GtkAllocation view = Allocation(WB()), all = Allocation(nullptr);
        return tools().IsFullScreen() && state && Sized() && view.width == all.width &&
               view.height == all.height;
    }
    // What full screen changes: the window's state, frame and size, the view, the status bar.
    std::string Look() const {
        GdkRectangle frame{};
        gdk_window_get_frame_extents(f->Native(), &frame);
        const GtkAllocation view = Allocation(WB()), all = Allocation(nullptr);
        std::ostringstream look;
        look << (WindowState() & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN))
             << " frame " << frame.x << "," << frame.y << " " << frame.width << "x" << frame.height
             << " client " << all.width << "x" << all.height << " view " << view.x << "," << view.y
             << " " << view.width << "x" << view.height << " status "
             << gtk_widget_get_visible(frm().StatusBar) << " twips" << LaidOut();
        return look.str();
    }
    // The layout rule's results: the twips of the web view, the close button and the progress bar.
    std::string LaidOut() const {
        std::ostringstream twips;
        for (GtkWidget* control : {WB(), frm().Bouton[0], frm().PBar}) {
            const browser::TwipsRect t = frm().Twips(control);
            twips << " " << t.Left << "," << t.Top << " " << t.Width << "x" << t.Height;
        }
        return twips.str();
    }
    // What the program saves of the window's placement when it closes.
    std::string Placement() const {
        std::ostringstream text;
        text << f->Placement->WindowState() << " " << testing::PrintToString(f->Bounds());
        return text.str();
    }

    void Do(const std::string& steps) {
        FakeWebView& w = *web;
        const std::map<std::string, std::function<void(const std::string&)>> acts{
            {"begin", [&](auto&) { w.Events.DownloadBegin(); }},
            {"navigated", [&](auto&) { w.Events.NavigateComplete({}); }},
            {"title", [&](auto& a) { w.Title = a, w.Events.NavigateComplete({}); }},
            {"page full", [&](auto&) { w.Events.FullScreenRequested(true); }},
            {"page normal", [&](auto&) { w.Events.FullScreenRequested(false); }},
            {"page Esc",
             [&](auto&) { gtk_widget_grab_focus(WB()), Press(window(), GDK_KEY_Escape); }},
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
            {"click",
             [&](auto& a) {
                 const int index = std::stoi(a.substr(a.find_first_of("0123456789")));
                 gtk_button_clicked(GTK_BUTTON(
                     index == browser::kHomeButton ? frm().HomeMain : frm().Bouton[index]));
             }},
            {"close box", [&](auto&) { Dispatch(GDK_DELETE, f->Native()); }},
            {"new native window",
             [&](auto&) {
                 gtk_widget_hide(f->Window()), gtk_widget_unrealize(f->Window()), frm().Show();
                 ASSERT_TRUE(WaitUntil([&] { return ServerMapped(window()); }));
             }},
            {"type",
             [&](auto& a) {
                 for (const char c : a)
                     Press(window(), gdk_unicode_to_keyval(static_cast<unsigned char>(c)));
             }},
            {"remember",
             [&](auto&) {
                 ASSERT_TRUE(WaitUntil([&] { return Settled(); })) << Look();
                 Before = Look(), LaidOutBefore = LaidOut(), PlacementBefore = Placement();
             }},
            {"shown full", // the layout rule waits
             [&](auto&) {
                 ASSERT_TRUE(WaitUntil([&] { return Full(); })) << Look();
                 ASSERT_EQ(LaidOut(), LaidOutBefore);
             }},
            {"maximize", // maximized, and laid out at the larger size the window manager gave
             [&](auto&) {
                 const int width = Allocation(nullptr).width;
                 gtk_window_maximize(window());
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
                PressKeys(window(), step);
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
        const bool visible = gtk_widget_get_visible(GTK_WIDGET(window()));
        GList* shown = gtk_container_get_children(
            GTK_CONTAINER(gtk_statusbar_get_message_area(GTK_STATUSBAR(frm().StatusBar))));
        const std::string status = gtk_label_get_text(GTK_LABEL(shown->data));
        g_list_free(shown);
        std::string calls, text;
        for (const std::string& call : web->Calls)
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
        add(gtk_widget_get_visible(frm().PBar), "progress " +
                                                    std::to_string(frm().ProgressValue()) + "/" +
                                                    std::to_string(frm().ProgressMaximum()));
        add(!status.empty(),
            "status: " + Short(status) + (tools().ZoomTextPending() ? " (goes)" : ""));
        add(!frm().LastLinkUrl.empty(), "link: " + Short(frm().LastLinkUrl));
        const xcb_window_t xid = gdk_x11_window_get_xid(f->Native());
        add(x.Caption(xid) != frm().AppCaption, "caption: " + x.Caption(xid));
        add(x.Class(xid) != browser::kWindowClass, "class: " + x.Class(xid));
        // The keyboard is with the page, or in the find bar's text.
        GtkWidget* focus = gtk_window_get_focus(window());
        add(visible && focus != WB() && !(barShown && focus == bar->Text),
            std::string("focus: ") + (focus ? G_OBJECT_TYPE_NAME(focus) : "none"));
        return text;
    }

    mutable XDisplay x; // what other clients read
    std::unique_ptr<FakeFrame> f;
    FakeWebView* web = nullptr;
    std::string Before, LaidOutBefore, PlacementBefore; // when remembered
    std::string Saved;                                  // the placement read when the window closed
    bool Cancel = true; // what the window answered the last new window: nothing opens
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
P=remember, page full, shown full
z=status: Zoom :
S=status: http://b/; link: http://b/
s=status:http://127.0.0.1/avant.html
u= - Navigateur Ulmeco
command: Alt+P | <Alt>p | $f GoBack
command: Alt+Right | <Alt>Right | $f GoForward
command: F5 | F5 | $f Refresh
command: Alt+T | <Alt>t | $f Stop
command: home button's main part | click:Bouton5 | $f Navigate(http://127.0.0.1:8080/accueil.html)
command: Alt+C | <Alt>c | $f GoSearch
command: Ctrl+P | <Ctrl>p | $f ExecWB(6,0)
command: Alt+R | <Alt>r | $f ExecWB(7,0)
command: Ctrl+S | <Ctrl>s | $f ExecWB(4,0)
command: About button | click:Bouton10 | $f About
command: Alt+M | <Alt>m | $f Navigate(http://127.0.0.1:8080/courrier.html)
command: Alt+F closes | <Alt>f | SetFocus; closed
Escape: idle page gets it | page Esc | key Escape
Escape: stops a load | begin, page Esc | $f Stop; progress 0/100
Escape: find bar before full screen | F11, <Ctrl>f, clear, Escape | $o; full screen
full screen: F11, Escape | $F, Escape | as before
full screen: page asks, Escape | $P, Escape, page normal | ExitFullScreen; as before
full screen: F11 outlasts the page | $F, page full, page normal, F11 | as before
full screen: maximized comes back | maximize, $F, F11 | as before
full screen: closing saves the placement from before | $F, close box | closed; placement as before
find: several | matches:3, <Ctrl>f, type:lun, clear, type:e | $n; find bar: 3 résultats
find: one | matches:1, <Ctrl>f, type:lun, clear, type:e | $n; find bar: 1 résultat
find: none | <Ctrl>f, type:lun, clear, type:e | $n; find bar: Aucun résultat
find: Enter moves on | matches:2, <Ctrl>f, type:lune, clear, Return | $n; find bar: 2 résultats
find: Shift+Enter goes back | <Ctrl>f, type:lune, clear, <Shift>Return | FindText(lune,backward,nocase); find bar: Aucun résultat
find: an older answer dropped | hold, matches:1, <Ctrl>f, type:l, matches:3, type:u, clear, answer | find bar: 3 résultats
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
caption: a new native window keeps it | title:Offre [*] 2025, new native window | SetFocus; caption: Offre [*] 2025$u
caption: one character too many | title:$xb | caption: $x$u
caption: a pair counts as one | title:$y$eb | caption: $y$e$u
caption: a pair never split | title:$x$e | caption: $x$u
caption: control characters | title:$k | caption: [31m$u)";

std::vector<WindowRow> Rows() {
    std::map<char, std::string> word{{'x', std::string(234, 'a')},
                                     {'y', std::string(233, 'a')},
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

INSTANTIATE_TEST_SUITE_P(Window, MainWindow, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return RowName(info); });

// With the real engine: the state the placement gives before the window shows makes the one
// native window; neither the page nor showing makes another.
TEST(NativeWindow, MadeOnce) {
    if (!WindowManagerRuns())
        GTEST_SKIP() << "maximizing needs a window manager";
    bool loaded = false;
    BrowserFrm frm([&loaded](platform::WebViewEvents events) {
        events.DocumentComplete = [&loaded, own = events.DocumentComplete](const std::string& a) {
            loaded = true;
            own(a);
        };
        return platform::CreateWebView(std::move(events));
    });
    int made = 0;
    g_signal_connect_swapped(frm.Window(), "realize", G_CALLBACK(+[](int* count) { ++*count; }),
                             &made);
    const auto placement = platform::CreateGtkPlacement(frm.Window());
    placement->SetWindowState(platform::vbMaximized);
    frm.WB->Navigate("data:text/html,<title>Accueil</title>");
    frm.Show();
    ASSERT_TRUE(WaitUntil([&] { return ServerMapped(frm.Window()) && loaded; }));
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(WaitUntil([&] { return placement->WindowState() == platform::vbMaximized; }));
    EXPECT_EQ(made, 1);
}

// The shown controls (buttons, progress bar, web view, status bar) that reach out of the client
// area or cover another, as "name: x,y widthxheight" pairs.
std::string Misplaced(const BrowserFrm& frm) {
    std::vector<std::pair<std::string, GdkRectangle>> shown;
    GtkWidget* window = GTK_WIDGET(frm.Window());
    const auto add = [&](const std::string& name, GtkWidget* control) {
        GdkRectangle r{0, 0, gtk_widget_get_allocated_width(control),
                       gtk_widget_get_allocated_height(control)};
        if (gtk_widget_get_mapped(control) && r.width > 1 && r.height > 1 &&
            gtk_widget_translate_coordinates(control, window, 0, 0, &r.x, &r.y))
            shown.emplace_back(name, r);
    };
    for (std::size_t i = 0; i < frm.Bouton.size(); ++i)
        add("Bouton" + std::to_string(i), frm.Bouton[i]);
    add("PBar", frm.PBar);
    add("WB", frm.WB->Widget());
    add("StatusBar", frm.StatusBar);
    GtkWidget* client = gtk_bin_get_child(GTK_BIN(window));
    const GdkRectangle area{0, 0, gtk_widget_get_allocated_width(client),
                            gtk_widget_get_allocated_height(client)};
    const auto text = [](const std::pair<std::string, GdkRectangle>& c) {
        return c.first + ": " + std::to_string(c.second.x) + "," + std::to_string(c.second.y) +
               " " + std::to_string(c.second.width) + "x" + std::to_string(c.second.height) + "; ";
    };
    std::string misplaced;
    for (std::size_t a = 0; a < shown.size(); ++a) {
        GdkRectangle in{};
        if (!gdk_rectangle_intersect(&shown[a].second, &area, &in) ||
            in.width != shown[a].second.width || in.height != shown[a].second.height)
            misplaced += "outside " + text(shown[a]);
        for (std::size_t b = a + 1; b < shown.size(); ++b)
            if (gdk_rectangle_intersect(&shown[a].second, &shown[b].second, nullptr))
                misplaced += "covers " + text(shown[a]) + text(shown[b]);
    }
    return misplaced;
}

xcb_window_t Xid(const FakeFrame& f) {
    return xcb_window_t(gdk_x11_window_get_xid(f.Native()));
}

// Under openbox, on any screen: each control inside the window, the window on the screen, no
// size hint wider than it; where the screen holds it, a normal window gets the minimum width.
struct ScreenRow {
    const char* name;
    int state;
    float storedWidth; // outer width in twips; 0 for the designed size
};
class LayoutFitsTheScreen : public testing::TestWithParam<ScreenRow> {};

TEST_P(LayoutFitsTheScreen, ControlsInsideWindowOnTheScreen) {
    const ScreenRow& row = GetParam();
    if (!WindowManagerRuns())
        GTEST_SKIP() << "maximizing needs a window manager";
    XDisplay x;
    FakeFrame f;
    f.Placement->SetWindowState(row.state);
    if (row.storedWidth > 0)
        f.Placement->Move(0, 0, row.storedWidth, 6000);
    f.Frm.Show();
    ASSERT_TRUE(WaitUntil([&] {
        return ServerMapped(f.Frm.Window()) &&
               (f.Frm.FormWindowState() == platform::vbMaximized) == (row.state == 2);
    }));
    const GdkRectangle screen = browser::ScreenWorkArea(f.Frm.Window());
    const int scale = gtk_widget_get_scale_factor(f.Window());
    if (row.state == 0 &&
        screen.width * browser::TwipsPerPixel() >= browser::kMinimumOuterWidth + 600) {
        EXPECT_TRUE(WaitUntil([&] { return f.Frm.FormWidth() == browser::kMinimumOuterWidth; }))
            << f.Frm.FormWidth();
    }
    // The window settles through sizes that hold only for a moment (the design size on a small
    // screen among them): all of it must hold at once, the X server's width being GTK's.
    std::string seen;
    EXPECT_TRUE(WaitUntil([&] {
        GdkRectangle frame{};
        gdk_window_get_frame_extents(f.Native(), &frame);
        const int serverWidth = x.Bounds(Xid(f)).width;
        seen = "frame " + std::to_string(frame.x) + "+" + std::to_string(frame.width) + " on " +
               std::to_string(screen.x) + "+" + std::to_string(screen.width) + ", X server width " +
               std::to_string(serverWidth) + "; " + Misplaced(f.Frm);
        return serverWidth == gdk_window_get_width(f.Native()) * scale && frame.x >= screen.x &&
               frame.x + frame.width <= screen.x + screen.width && Misplaced(f.Frm).empty();
    })) << seen;
    EXPECT_EQ(f.Frm.Twips(f.Frm.WB->Widget()).Width, f.Frm.FormWidth() - 140);
    const auto hints = x.Cardinals(Xid(f), "WM_NORMAL_HINTS");
    for (const auto& [flags, at] : {std::pair{8u | 2u, 3}, {16u, 5}, {32u, 7}}) // size, min, max
        EXPECT_TRUE(hints.size() <= 7 || !(hints[0] & flags) ||
                    hints[at] <= std::uint32_t(screen.width * scale))
            << "hint " << at << ": " << hints[at];
}

INSTANTIATE_TEST_SUITE_P(Rows, LayoutFitsTheScreen,
                         testing::Values(ScreenRow{"first start, maximized", 2, 0},
                                         ScreenRow{"designed size", 0, 0},
                                         ScreenRow{"stored width below the minimum", 0, 9000}),
                         RowName<ScreenRow>);

} // namespace
