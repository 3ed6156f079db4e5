// The About box on GTK: the looks of its links under the pointer, what a click opens, the keys
// that close it, and its modal showing over the main window.
#include "support/Rows.h" // GoogleTest before the X11 headers, whose macros clash with its names

#include "about/frmAbout.h"
#include "support/GtkLoop.h"
#include "x11/Events.h"

#include <map>
#include <sstream>

using namespace testsupport;

namespace {
using testsupport::operator<<;

// A label's look: "design" without a colour of its own, else its colour, then underline.
std::string Look(GtkWidget* label) {
    std::string look = "design";
    PangoAttrList* list = gtk_label_get_attributes(GTK_LABEL(label));
    for (GSList* a = list ? pango_attr_iterator_get_attrs(pango_attr_list_get_iterator(list))
                          : nullptr;
         a != nullptr; a = a->next) {
        const auto* attr = static_cast<PangoAttribute*>(a->data);
        if (attr->klass->type == PANGO_ATTR_FOREGROUND) {
            const PangoColor c = reinterpret_cast<const PangoAttrColor*>(attr)->color;
            char name[8];
            std::snprintf(name, sizeof name, "#%02x%02x%02x", c.red >> 8, c.green >> 8,
                          c.blue >> 8);
            look = name;
        } else if (attr->klass->type == PANGO_ATTR_UNDERLINE) {
            look += " underlined";
        }
    }
    return look;
}

std::string Pointer(GtkWidget* link) {
    GdkCursor* cursor = gdk_window_get_cursor(gtk_widget_get_window(link));
    return cursor != nullptr ? " hand" : "";
}

// The pointer crossing into or out of a widget's window, or its first button pressed and
// released at the widget's middle.
void Point(GtkWidget* widget, std::initializer_list<GdkEventType> types) {
    for (const GdkEventType type : types)
        Dispatch(
            type, gtk_widget_get_window(widget),
            [](GdkEvent* event, void* data) {
                const double x = gtk_widget_get_allocated_width(GTK_WIDGET(data)) / 2.0,
                             y = gtk_widget_get_allocated_height(GTK_WIDGET(data)) / 2.0;
                if (event->type == GDK_ENTER_NOTIFY || event->type == GDK_LEAVE_NOTIFY)
                    event->crossing = {event->type,
                                       event->any.window,
                                       FALSE,
                                       nullptr,
                                       GDK_CURRENT_TIME,
                                       x,
                                       y,
                                       0,
                                       0,
                                       GDK_CROSSING_NORMAL,
                                       GDK_NOTIFY_ANCESTOR,
                                       FALSE,
                                       0};
                else
                    event->button.time = GDK_CURRENT_TIME, event->button.x = x, event->button.y = y,
                    event->button.button = GDK_BUTTON_PRIMARY,
                    event->button.state = event->type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0;
            },
            widget, false);
}

struct DialogRow {
    const char* name;
    const char* steps;    // "icon", "web", "mail": the pointer there, "away": off them; "click";
                          // "Escape", "Return"
    const char* expected; // the addresses opened and "closed", or the looks of the three links
};
class Dialog : public ::testing::TestWithParam<DialogRow> {
protected:
    void SetUp() override { ASSERT_TRUE(InitGtk()); }
};

TEST_P(Dialog, LinksAndKeys) {
    const DialogRow& row = GetParam();
    std::vector<std::string> seen;
    GtkWindow* box = frmAbout::Build(nullptr, [&](const std::string& a) { seen.push_back(a); });
    bool closed = false;
    g_signal_connect_swapped(box, "destroy", G_CALLBACK(+[](bool* flag) { *flag = true; }),
                             &closed);
    gtk_widget_show(GTK_WIDGET(box));
    // Shown, and laid out: each link has its own window at its place.
    ASSERT_TRUE(WaitUntil([&] { return ServerMapped(box); }));
    const frmAbout::Controls c = frmAbout::ControlsOf(box);
    const std::map<std::string, GtkWidget*> links{{"icon", c.picIcon},
                                                  {"web", gtk_widget_get_parent(c.WebLbl[0])},
                                                  {"mail", gtk_widget_get_parent(c.WebLbl[1])}};
    std::istringstream steps(row.steps);
    GtkWidget* under = nullptr; // the link under the pointer; none: the dialog's background
    for (std::string step; steps >> step && !closed;) {
        if (step == "click") // elsewhere: on the dialog's background
            Point(under != nullptr ? under : GTK_WIDGET(box),
                  {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE});
        else if (step != "away" && links.count(step) == 0)
            Press(box, gdk_keyval_from_name(step.c_str()));
        else if (under != nullptr)
            Point(under, {GDK_LEAVE_NOTIFY});
        if (step == "away" || links.count(step) != 0)
            if ((under = step == "away" ? nullptr : links.at(step)))
                Point(under, {GDK_ENTER_NOTIFY});
        while (gtk_events_pending())
            gtk_main_iteration();
    }
    std::string text;
    for (const std::string& address : seen)
        text += address + "; ";
    if (closed) {
        text += "closed";
    } else {
        text += std::string("design") + Pointer(c.picIcon) + "; " + Look(c.WebLbl[0]) +
                Pointer(links.at("web")) + "; " + Look(c.WebLbl[1]) + Pointer(links.at("mail"));
        gtk_widget_destroy(GTK_WIDGET(box));
    }
    EXPECT_EQ(text, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Dialog,
    ::testing::Values(
        DialogRow{"icon hovered", "icon", "design hand; design; design"},
        DialogRow{"address hovered", "web", "design; #0000ff underlined hand; design"},
        DialogRow{"address left turns black", "mail away", "design; design; #000000"},
        DialogRow{"from an address to the icon", "mail icon", "design hand; design; #000000"},
        DialogRow{"icon left loses the hand", "icon away", "design; design; design"},
        DialogRow{"to the other address", "web mail", "design; #000000; #0000ff underlined hand"},
        DialogRow{"icon: the host name", "icon click", "www.ulmeco.fr; closed"},
        DialogRow{"web address", "web click", "http://www.ulmeco.fr; closed"},
        DialogRow{"e-mail with subject", "mail click",
                  "mailto:contact@ulmeco.fr?subject=Informations sur Orvane; closed"},
        DialogRow{"click elsewhere opens nothing", "click", "design; design; design"},
        DialogRow{"Escape closes as OK", "Escape", "closed"},
        DialogRow{"Enter closes as OK", "Return", "closed"},
        DialogRow{"keypad Enter closes as OK", "KP_Enter", "closed"}),
    RowName<DialogRow>);

// Each showing loads the box afresh: nothing of an earlier hover survives, and a link's address
// is asked for before the modal call returns.
TEST(AboutBox, ShowModalReturnsOnceClosed) {
    ASSERT_TRUE(InitGtk());
    TopLevel owner;
    gtk_widget_show(GTK_WIDGET(owner.window));
    std::vector<std::string> seen;
    for (int showing = 0; showing < 2; ++showing) {
        g_idle_add(
            +[](gpointer data) {
                auto* seen = static_cast<std::vector<std::string>*>(data);
                for (GList *w = gtk_window_list_toplevels(), *i = w; i != nullptr; i = i->next) {
                    if (gtk_window_get_modal(GTK_WINDOW(i->data))) {
                        const frmAbout::Controls c = frmAbout::ControlsOf(GTK_WINDOW(i->data));
                        seen->push_back(Look(c.WebLbl[1]));
                        gtk_button_clicked(GTK_BUTTON(c.Bouton));
                    }
                    if (i->next == nullptr)
                        g_list_free(w);
                }
                return gboolean(G_SOURCE_REMOVE);
            },
            &seen);
        frmAbout::ShowModal(owner.window, [&](const std::string& a) { seen.push_back(a); });
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"design", "design"}));
}
} // namespace
