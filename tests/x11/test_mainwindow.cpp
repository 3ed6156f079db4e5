// The main window on GTK on a fake web view: its commands and keys, Escape, full screen, finding
// text, the caption, status text and progress bar from the page's events, and the zoom.
// GoogleTest before the X11 headers, whose macros clash with its names.
#include "support/Rows.h"

#include "browser/BrowserFrm.h"
#include "browser/FindBar.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "fakes/FakeWebView.h"
#include "platform/window/GtkPlacement.h"
#include "support/GtkLoop.h"

#include <functional>
#include <map>
#include <sstream>

using namespace testsupport;

namespace {
using testsupport::operator<<;

// Long texts as their first 40 characters and their length.
std::string Short(const std::string& text) {
    return text.size() <= 300 ? text
                              : text.substr(0, 40) + "…(" + std::to_string(text.size()) + ")";
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find(separator, at);
        parts.push_back(text.substr(at, next - at));
        if (next == std::string::npos) {
            return parts;
        }
        at = next + separator.size();
    }
}

// An event as the window system hands it to GTK, on the window's own GDK window.
GdkEvent* NewEvent(GdkEventType type, GtkWindow* window) {
    GdkEvent* event = gdk_event_new(type);
    event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window))));
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    return event;
}

// A key pressed and released in the window, with the key code and Shift level that the
// keyboard map gives it; GTK hands it on to the control that has the keyboard.
void Press(GtkWindow* window, guint keyval, guint modifiers) {
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(
        gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys, &count))
        << gdk_keyval_name(keyval);
    GdkKeymapKey key = keys[0];
    for (gint i = 0; i < count; ++i) {
        key = keys[i].group == 0 && keys[i].level < key.level ? keys[i] : key;
    }
    g_free(keys);
    for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        GdkEvent* event = NewEvent(type, window);
        event->key.time = GDK_CURRENT_TIME;
        event->key.keyval = keyval;
        event->key.state = modifiers | (key.level == 1 ? GDK_SHIFT_MASK : 0);
        event->key.hardware_keycode = guint16(key.keycode);
        event->key.group = guint8(key.group);
        event->key.string = g_strdup("");
        gtk_main_do_event(event);
        gdk_event_free(event);
    }
}

// "Ctrl+Shift+x", "Alt+Right", "F11", "Esc", "Ctrl++".
void PressKeys(GtkWindow* window, std::string keys) {
    guint modifiers = 0;
    const std::map<std::string, guint> names{
        {"Ctrl+", GDK_CONTROL_MASK}, {"Alt+", GDK_MOD1_MASK}, {"Shift+", GDK_SHIFT_MASK}};
    for (bool more = true; more;) {
        more = false;
        for (const auto& [name, mask] : names) {
            if (keys.size() > name.size() && keys.starts_with(name)) {
                modifiers |= mask, keys.erase(0, name.size()), more = true;
            }
        }
    }
    guint keyval = keys == "Esc" ? GDK_KEY_Escape : gdk_keyval_from_name(keys.c_str());
    if (keys.size() == 1) {
        keyval = gdk_unicode_to_keyval(g_ascii_tolower(keys[0]));
    }
    ASSERT_NE(keyval, guint(GDK_KEY_VoidSymbol)) << keys;
    Press(window, keyval, modifiers);
}

struct WindowRow {
    std::string name;
    std::string steps;    // "name" or "name:argument", else keys pressed where the keyboard is
    std::string expected; // State() once the steps are done
};

class MainWindow : public ::testing::TestWithParam<WindowRow> {
protected:
    void SetUp() override {
        // Typed letters go into the find bar's text as they are, without an input method.
        g_setenv("GTK_IM_MODULE", "gtk-im-context-simple", TRUE);
        ASSERT_TRUE(InitGtk());
        owner = std::make_unique<BrowserFrm>([](platform::WebViewEvents events) {
            return std::unique_ptr<platform::WebView>(new FakeWebView(std::move(events)));
        });
        web = static_cast<FakeWebView*>(frm().WB);
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
    void TearDown() override { owner.reset(); }

    BrowserFrm& frm() const { return *owner; }
    browser::PageTools& tools() const { return frm().Tools(); }
    GtkWindow* window() const { return frm().Window(); }
    GtkWidget* layout() const { return gtk_bin_get_child(GTK_BIN(window())); }
    GdkWindowState WindowState() const {
        return gdk_window_get_state(gtk_widget_get_window(GTK_WIDGET(window())));
    }
    bool Sized() const {
        int width = 0, height = 0;
        gtk_window_get_size(window(), &width, &height);
        return gtk_widget_get_allocated_width(layout()) == width &&
               gtk_widget_get_allocated_height(layout()) == height;
    }
    // Shown, framed, widened to the layout's minimum and laid out at that size.
    bool Settled() const {
        GdkRectangle frame{};
        GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(window()));
        gdk_window_get_frame_extents(native, &frame);
        const bool framed = !WindowManagerRuns() || frame.height > gdk_window_get_height(native);
        return ServerMapped(window()) && framed && Sized() &&
               frm().FormWidth() >= browser::kMinimumOuterWidth;
    }
    // The web view covers the window, full screen where a window manager runs.
    bool Full() const {
        const bool state = !WindowManagerRuns() || (WindowState() & GDK_WINDOW_STATE_FULLSCREEN);
        GtkAllocation view{};
        gtk_widget_get_allocation(WB(), &view);
        return tools().IsFullScreen() && state && Sized() &&
               view.width == gtk_widget_get_allocated_width(layout()) &&
               view.height == gtk_widget_get_allocated_height(layout());
    }
    GtkWidget* WB() const { return frm().WB->Widget(); }

    // What full screen changes: the window's state, frame and size, the view's rectangle, the
    // status bar, and the twips of the web view, the close button and the progress bar.
    std::string Look() const {
        std::ostringstream look;
        GdkRectangle frame{};
        gdk_window_get_frame_extents(gtk_widget_get_window(GTK_WIDGET(window())), &frame);
        int width = 0, height = 0;
        gtk_window_get_size(window(), &width, &height);
        GtkAllocation view{};
        gtk_widget_get_allocation(WB(), &view);
        look << (WindowState() & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN))
             << " frame " << frame.x << "," << frame.y << " " << frame.width << "x" << frame.height
             << " client " << width << "x" << height << " view " << view.x << "," << view.y << " "
             << view.width << "x" << view.height << " status "
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
        const auto placement = platform::CreateGtkPlacement(window());
        std::ostringstream text;
        text << placement->WindowState() << " " << placement->Left() << "," << placement->Top()
             << " " << placement->Width() << "x" << placement->Height();
        return text.str();
    }

    void Do(const std::string& steps) {
        const std::map<std::string, std::function<void(const std::string&)>> acts{
            {"begin", [this](auto&) { web->Events.DownloadBegin(); }},
            {"navigated", [this](auto&) { web->Events.NavigateComplete({}); }},
            {"title", [this](auto& a) { web->Title = a, web->Events.NavigateComplete({}); }},
            {"page full", [this](auto&) { web->Events.FullScreenRequested(true); }},
            {"page normal", [this](auto&) { web->Events.FullScreenRequested(false); }},
            {"page Esc",
             [this](auto&) {
                 gtk_widget_grab_focus(WB());
                 Press(window(), GDK_KEY_Escape, 0);
             }},
            {"status", [this](auto& a) { web->Events.StatusTextChange(a); }},
            {"progress",
             [this](auto& a) {
                 const std::size_t slash = a.find('/');
                 web->Events.ProgressChange(std::stoi(a.substr(0, slash)),
                                            std::stoi(a.substr(slash + 1)));
             }},
            {"new window", [this](auto&) { web->Events.NewWindow(Cancel = false); }},
            {"matches", [this](auto& a) { web->Matches = std::stoi(a); }},
            {"hold", [this](auto&) { web->Hold = true; }},
            {"answer", [this](auto&) { web->AnswerHeld(); }},
            {"engine resets", [this](auto&) { web->Zoom = 1.0; }},
            {"clear", [this](auto&) { web->Calls.clear(); }},
            {"zoom text gone",
             [this](auto&) {
                 ASSERT_TRUE(WaitUntil([this] { return !tools().ZoomTextPending(); }));
             }},
            {"click",
             [this](auto& a) {
                 const int index = std::stoi(a.substr(a.find_first_of("0123456789")));
                 gtk_button_clicked(GTK_BUTTON(
                     index == browser::kHomeButton ? frm().HomeMain : frm().Bouton[index]));
             }},
            {"close box",
             [this](auto&) {
                 GdkEvent* event = NewEvent(GDK_DELETE, window());
                 gtk_main_do_event(event);
                 gdk_event_free(event);
             }},
            {"type",
             [this](auto& a) {
                 for (const char c : a) {
                     Press(window(), gdk_unicode_to_keyval(static_cast<unsigned char>(c)), 0);
                 }
             }},
            {"remember",
             [this](auto&) {
                 ASSERT_TRUE(WaitUntil([this] { return Settled(); })) << Look();
                 Before = Look(), LaidOutBefore = LaidOut(), PlacementBefore = Placement();
             }},
            {"shown full", // the layout rule waits
             [this](auto&) {
                 ASSERT_TRUE(WaitUntil([this] { return Full(); })) << Look();
                 ASSERT_EQ(LaidOut(), LaidOutBefore);
             }},
            {"maximize",
             [this](auto&) {
                 int width = 0, height = 0;
                 gtk_window_get_size(window(), &width, &height);
                 gtk_window_maximize(window());
                 // Maximized, and laid out at the size the window manager gave.
                 ASSERT_TRUE(WaitUntil([&] {
                     int now = 0, nowHeight = 0;
                     gtk_window_get_size(window(), &now, &nowHeight);
                     return (WindowState() & GDK_WINDOW_STATE_MAXIMIZED) && now > width && Sized();
                 }));
             }},
        };
        for (const std::string& step : Split(steps, ", ")) {
            const std::size_t colon = step.find(':');
            const auto act = acts.find(step.substr(0, colon));
            if (act != acts.end()) {
                act->second(colon == std::string::npos ? std::string() : step.substr(colon + 1));
            } else {
                PressKeys(window(), step);
            }
            if (HasFatalFailure()) {
                return;
            }
        }
    }

    // The calls asked of the web view and the keys it got, then what the window shows.
    std::string State() const {
        const browser::FindBar* bar = tools().Bar();
        const bool barShown = bar != nullptr && bar->Shown();
        const bool visible = gtk_widget_get_visible(GTK_WIDGET(window()));
        // What the status bar shows.
        GList* shown = gtk_container_get_children(
            GTK_CONTAINER(gtk_statusbar_get_message_area(GTK_STATUSBAR(frm().StatusBar))));
        const std::string status = gtk_label_get_text(GTK_LABEL(shown->data));
        g_list_free(shown);
        std::string calls;
        for (const std::string& call : web->Calls) {
            calls += (calls.empty() ? "" : " ") + call;
        }
        std::vector<std::string> seen{Short(calls)};
        const auto add = [&seen](bool shown, const std::string& text) {
            seen.push_back(shown ? text : "");
        };
        add(!Cancel, "opened");
        add(!visible, "closed");
        add(barShown,
            barShown ? std::string("find bar: ") + gtk_label_get_text(GTK_LABEL(bar->Count)) : "");
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
        const std::string caption = gtk_window_get_title(window());
        add(caption != frm().AppCaption, "caption: " + caption);
        // The keyboard is with the page, or in the find bar's text.
        GtkWidget* focus = gtk_window_get_focus(window());
        add(visible && focus != WB() && !(barShown && focus == bar->Text),
            std::string("focus: ") + (focus ? G_OBJECT_TYPE_NAME(focus) : "none"));
        std::string text;
        for (const std::string& part : seen) {
            text += part.empty() ? "" : (text.empty() ? "" : "; ") + part;
        }
        return text;
    }

    std::unique_ptr<BrowserFrm> owner;
    FakeWebView* web = nullptr;
    // The window's look, twips and placement when remembered.
    std::string Before, LaidOutBefore, PlacementBefore;
    std::string Saved;  // the placement read when the window closed
    bool Cancel = true; // what the window answered the last new window: nothing opens
};

TEST_P(MainWindow, Steps) {
    const WindowRow& row = GetParam();
    Do(row.steps);
    ASSERT_FALSE(HasFatalFailure());
    // Access keys click their button a moment later.
    WaitUntil([&] { return State() == row.expected; });
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
command: Alt+P | Alt+P | $f GoBack
command: Alt+Right | Alt+Right | $f GoForward
command: F5 | F5 | $f Refresh
command: Alt+T | Alt+T | $f Stop
command: home button's main part | click:Bouton5 | $f Navigate(http://127.0.0.1:8080/accueil.html)
command: Alt+C | Alt+C | $f GoSearch
command: Ctrl+P | Ctrl+P | $f ExecWB(6,0)
command: Alt+R | Alt+R | $f ExecWB(7,0)
command: Ctrl+S | Ctrl+S | $f ExecWB(4,0)
command: About button | click:Bouton10 | $f About
command: Alt+M | Alt+M | $f Navigate(http://127.0.0.1:8080/courrier.html)
command: Alt+F closes | Alt+F | SetFocus; closed
Escape: idle page gets it | page Esc | key Escape
Escape: stops a load | begin, page Esc | $f Stop; progress 0/100
Escape: find bar before full screen | F11, Ctrl+F, clear, Esc | $o; full screen
full screen: F11, Escape | $F, Esc | as before
full screen: page asks, Escape | $P, Esc, page normal | ExitFullScreen; as before
full screen: F11 outlasts the page | $F, page full, page normal, F11 | as before
full screen: maximized comes back | maximize, $F, F11 | as before
full screen: closing saves the placement from before | $F, close box | closed; placement as before
find: several | matches:3, Ctrl+F, type:lun, clear, type:e | $n; find bar: 3 résultats
find: one | matches:1, Ctrl+F, type:lun, clear, type:e | $n; find bar: 1 résultat
find: none | Ctrl+F, type:lun, clear, type:e | $n; find bar: Aucun résultat
find: Enter moves on | matches:2, Ctrl+F, type:lune, clear, Return | $n; find bar: 2 résultats
find: Shift+Enter goes back | Ctrl+F, type:lune, clear, Shift+Return | FindText(lune,backward,nocase); find bar: Aucun résultat
find: an older answer dropped | hold, matches:1, Ctrl+F, type:l, matches:3, type:u, clear, answer | find bar: 3 résultats
progress: Terminé hides | begin, progress:70/100, status:Terminé | status: Terminé
progress: maximum below one hidden | progress:10/-2147483647 | -
zoom: Ctrl++ | Ctrl++ | SetZoomFactor(1.1); $z 110 % (goes)
zoom: none past the smallest | $m, clear, Ctrl+- | $z 25 % (goes)
zoom: none past the largest | $p, clear, Ctrl++ | $z 500 % (goes)
zoom: text goes | Ctrl++, clear, zoom text gone | -
zoom: a new page keeps it | Ctrl++, clear, engine resets, navigated | SetZoomFactor(1.1); $z 110 % (goes)
status: address | $s, status:http://b/, new window | Navigate(http://b/); $S
status: javascript | $s, status:javascript:void(0), new window | opened; status: javascript:void(0)
caption: failing read | navigated | -
caption: one character too many | title:$xb | caption: $x$u
caption: a pair counts as one | title:$y$eb | caption: $y$e$u
caption: a pair never split | title:$x$e | caption: $x$u
caption: control characters | title:$k | caption: [31m$u)";

std::vector<WindowRow> Rows() {
    std::map<char, std::string> word;
    for (const std::string& line : Split(kTable, "\n")) {
        if (!line.empty() && line.find(" | ") == std::string::npos) {
            word[line[0]] = line.substr(2);
        }
    }
    word['x'] = std::string(234, 'a'), word['y'] = std::string(233, 'a');
    word['e'] = "\U0001F600";
    word['k'] = std::string("\0\x01\x1B[31m\x7F\xC2\x85\n\t", 12);
    const auto repeat = [](const std::string& keys, int n) {
        std::string steps;
        for (int i = 0; i < n; ++i) {
            steps += (i == 0 ? "" : ", ") + keys;
        }
        return steps;
    };
    word['m'] = repeat("Ctrl+-", 7), word['p'] = repeat("Ctrl++", 9);
    const auto expand = [&word](std::string text) {
        for (std::size_t at; (at = text.find('$')) != std::string::npos;) {
            text.replace(at, 2, word.at(text[at + 1]));
        }
        return text == "-" ? std::string() : text;
    };
    std::vector<WindowRow> rows;
    for (const std::string& line : Split(kTable, "\n")) {
        const std::vector<std::string> cells = Split(line, " | ");
        if (cells.size() == 3) {
            rows.push_back({cells[0], expand(cells[1]), expand(cells[2])});
        }
    }
    const std::string address = "http://" + std::string(1 << 20, 'a');
    rows.push_back({"status: a megabyte of address", "remember, status:" + address + ", new window",
                    Short("Navigate(" + address + ")") + "; as before; status: " +
                        Short(address.substr(0, 2048)) + "; link: " + Short(address)});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Window, MainWindow, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return RowName(info); });

} // namespace
