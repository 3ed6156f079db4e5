// The About box on GTK: the looks of its links under the pointer, what a click opens, the keys
// that close it, and its modal showing over the main window.
#include "support/Rows.h" // GoogleTest before the X11 headers, whose macros clash with its names

#include "about/frmAbout.h"
#include "support/GtkLoop.h"

#include <functional>
#include <map>
#include <sstream>

using namespace testsupport;

namespace {
using testsupport::operator<<;

// A link's look: its label's text attributes as Pango writes them (none: "design"), and " hand"
// under a pointing hand.
std::string Look(GtkWidget* link) {
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(link));
    PangoAttrList* list =
        GTK_IS_LABEL(label) ? gtk_label_get_attributes(GTK_LABEL(label)) : nullptr;
    gchar* attributes = list != nullptr ? pango_attr_list_to_string(list) : g_strdup("design");
    std::string look = attributes;
    g_free(attributes);
    return look + (gdk_window_get_cursor(gtk_widget_get_window(link)) != nullptr ? " hand" : "");
}
const std::string kBlack = "0 4294967295 foreground #000000000000",
                  kBlueUnderlined = "0 4294967295 foreground #00000000ffff\n"
                                    "0 4294967295 underline single";

struct DialogRow {
    const char* name;
    const char* steps;    // "icon", "web", "mail": the pointer there, "away": off them; "click";
                          // else a key
    std::string expected; // the addresses opened and "closed", or the looks of the three links
};
class Dialog : public testing::TestWithParam<DialogRow> {};

// The pointer crossing into or out of a widget, or its first button pressed and released there.
void Point(GtkWidget* widget, std::initializer_list<GdkEventType> types) {
    for (const GdkEventType type : types)
        Dispatch(
            type, gtk_widget_get_window(widget),
            [](GdkEvent& event) {
                if (event.type == GDK_BUTTON_PRESS || event.type == GDK_BUTTON_RELEASE)
                    event.button.x = event.button.y = 1, event.button.button = 1;
            },
            false);
}

// Each row on a box shown modally over a main window, as the program shows it: the steps run
// from ShowModal's loop once the X server has mapped the box, and ShowModal returns once it is
// closed.
TEST_P(Dialog, LinksAndKeys) {
    ASSERT_TRUE(InitGtk());
    TopLevel owner;
    gtk_widget_show(GTK_WIDGET(owner.window));
    std::string seen;
    bool ran = false;
    std::function<void()> steps = [&] {
        ran = true;
        GtkWindow* box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { // shown, and laid out: each link at its place
            GList* all = gtk_window_list_toplevels();
            for (GList* i = all; i != nullptr; i = i->next)
                if (gtk_window_get_transient_for(GTK_WINDOW(i->data)) == owner.window)
                    box = GTK_WINDOW(i->data);
            g_list_free(all);
            return box != nullptr && ServerMapped(box);
        }));
        seen += gtk_window_get_modal(box) ? "" : "not modal; ";
        bool closed = false;
        g_signal_connect_swapped(box, "destroy", G_CALLBACK(+[](bool* flag) { *flag = true; }),
                                 &closed);
        const frmAbout::Controls c = frmAbout::ControlsOf(box);
        const std::map<std::string, GtkWidget*> links{{"icon", c.picIcon},
                                                      {"web", gtk_widget_get_parent(c.WebLbl[0])},
                                                      {"mail", gtk_widget_get_parent(c.WebLbl[1])}};
        std::istringstream words(GetParam().steps);
        GtkWidget* under = nullptr; // the link under the pointer; none: the dialog's background
        for (std::string step; words >> step && !closed;) {
            if (step == "click") {
                Point(under != nullptr ? under : GTK_WIDGET(box),
                      {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE});
            } else if (step == "away" || links.count(step) != 0) {
                if (under != nullptr)
                    Point(under, {GDK_LEAVE_NOTIFY});
                if ((under = step == "away" ? nullptr : links.at(step)))
                    Point(under, {GDK_ENTER_NOTIFY});
            } else {
                Press(box, step);
            }
        }
        if (closed) {
            seen += "closed";
        } else {
            seen += Look(c.picIcon) + "; " + Look(links.at("web")) + "; " + Look(links.at("mail"));
            gtk_button_clicked(GTK_BUTTON(c.Bouton));
        }
    };
    const guint idle = g_idle_add_once(
        [](gpointer steps) { (*static_cast<std::function<void()>*>(steps))(); }, &steps);
    frmAbout::ShowModal(owner.window, [&](const std::string& a) { seen += a + "; "; });
    if (!ran) // ShowModal returned before its loop ran
        g_source_remove(idle);
    EXPECT_EQ(seen, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Dialog,
    testing::Values(
        DialogRow{"to the other address", "web mail",
                  "design; " + kBlack + "; " + kBlueUnderlined + " hand"},
        DialogRow{"from an address to the icon", "mail icon", "design hand; design; " + kBlack},
        DialogRow{"address left: black, no hand", "mail away", "design; design; " + kBlack},
        DialogRow{"icon: the host name", "icon click", "www.ulmeco.fr; closed"},
        DialogRow{"web address", "web click", "http://www.ulmeco.fr; closed"},
        DialogRow{"e-mail with subject", "mail click",
                  "mailto:contact@ulmeco.fr?subject=Informations sur Orvane; closed"},
        DialogRow{"click elsewhere opens nothing", "click", "design; design; design"},
        DialogRow{"Escape closes as OK", "Escape", "closed"},
        DialogRow{"Enter closes as OK", "Return", "closed"}),
    RowName<DialogRow>);

} // namespace
