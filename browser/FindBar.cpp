#include "browser/FindBar.h"

#include "browser/Zoom.h"
#include "platform/web/WebView.h"

#include <algorithm>
#include <string>

namespace browser {

namespace {

// Room between the bar and the view's right edge, in pixels.
constexpr int kMargin = 4;
constexpr int kTextChars = 24;

gboolean OnTextKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* bar = static_cast<FindBar*>(data);
    const guint key = event->keyval;
    if (key != GDK_KEY_Return && key != GDK_KEY_KP_Enter && key != GDK_KEY_ISO_Enter) {
        return FALSE;
    }
    (event->state & GDK_SHIFT_MASK) != 0 ? bar->FindPrevious() : bar->FindNext();
    return TRUE;
}

GtkWidget* BarButton(const char* label, const char* toolTip) {
    GtkWidget* button = gtk_button_new_with_label(label);
    gtk_widget_set_tooltip_text(button, toolTip);
    // Clicking it leaves the keyboard in the text, where Enter goes on searching.
    gtk_widget_set_focus_on_click(button, FALSE);
    return button;
}

} // namespace

FindBar::FindBar(platform::WebView& view) : View(view) {
    Box = gtk_event_box_new();
    g_object_ref_sink(Box);
    gtk_widget_set_no_show_all(Box, TRUE);
    gtk_style_context_add_class(gtk_widget_get_style_context(Box), GTK_STYLE_CLASS_BACKGROUND);
    GtkWidget* frame = gtk_frame_new(nullptr);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    g_object_set(row, "margin-start", 6, "margin-end", 4, "margin-top", 4, "margin-bottom", 4,
                 nullptr);
    gtk_container_add(GTK_CONTAINER(Box), frame);
    gtk_container_add(GTK_CONTAINER(frame), row);
    if (AtkObject* accessible = gtk_widget_get_accessible(Box)) {
        atk_object_set_name(accessible, "Recherche dans la page");
    }

    Text = gtk_search_entry_new();
    gtk_entry_set_placeholder_text(GTK_ENTRY(Text), "Rechercher dans la page");
    gtk_entry_set_width_chars(GTK_ENTRY(Text), kTextChars);
    Previous = BarButton("Précédent", "Résultat précédent (Maj+Entrée)");
    Next = BarButton("Suivant", "Résultat suivant (Entrée)");
    MatchCase = gtk_check_button_new_with_label("Respecter la casse");
    gtk_widget_set_focus_on_click(MatchCase, FALSE);
    Count = gtk_label_new(nullptr);
    // Room for the longest count text, so that the bar keeps its width while counting.
    gtk_label_set_width_chars(GTK_LABEL(Count),
                              int(g_utf8_strlen(MatchCountText(999).c_str(), -1)));
    gtk_label_set_xalign(GTK_LABEL(Count), 0);
    CloseButton = gtk_button_new_from_icon_name("window-close-symbolic", GTK_ICON_SIZE_MENU);
    gtk_button_set_relief(GTK_BUTTON(CloseButton), GTK_RELIEF_NONE);
    gtk_widget_set_tooltip_text(CloseButton, "Fermer la recherche (Échap)");
    gtk_widget_set_focus_on_click(CloseButton, FALSE);
    if (AtkObject* accessible = gtk_widget_get_accessible(CloseButton)) {
        atk_object_set_name(accessible, "Fermer la recherche");
    }
    for (GtkWidget* control : {Text, Previous, Next, MatchCase, Count, CloseButton}) {
        gtk_box_pack_start(GTK_BOX(row), control, FALSE, FALSE, 0);
    }

    // "changed" comes with every edit; the search entry's own "search-changed" waits a moment.
    g_signal_connect_swapped(Text, "changed", G_CALLBACK(+[](FindBar* self) { self->Find(false); }),
                             this);
    g_signal_connect(Text, "key-press-event", G_CALLBACK(OnTextKey), this);
    g_signal_connect_swapped(Next, "clicked", G_CALLBACK(+[](FindBar* self) { self->FindNext(); }),
                             this);
    g_signal_connect_swapped(Previous, "clicked",
                             G_CALLBACK(+[](FindBar* self) { self->FindPrevious(); }), this);
    g_signal_connect_swapped(MatchCase, "toggled",
                             G_CALLBACK(+[](FindBar* self) { self->Find(false); }), this);
    g_signal_connect_swapped(CloseButton, "clicked",
                             G_CALLBACK(+[](FindBar* self) { self->Close(); }), this);
    gtk_widget_show_all(frame);
}

FindBar::~FindBar() {
    gtk_widget_destroy(Box);
    g_object_unref(Box);
}

bool FindBar::Shown() const {
    return gtk_widget_get_visible(Box);
}

void FindBar::Open() {
    const bool wasOpen = Shown();
    gtk_widget_show(Box);
    Raise();
    gtk_widget_grab_focus(Text);
    gtk_editable_select_region(GTK_EDITABLE(Text), 0, -1);
    if (!wasOpen && gtk_entry_get_text_length(GTK_ENTRY(Text)) > 0) {
        Find(false); // the highlight went when the bar closed
    }
}

void FindBar::Close() {
    gtk_widget_hide(Box);
    ++Searches;
    gtk_label_set_text(GTK_LABEL(Count), "");
    View.FindText({}, false, gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(MatchCase)), {});
    View.SetFocus();
}

void FindBar::FindNext() {
    Find(false);
    gtk_widget_grab_focus(Text);
}

void FindBar::FindPrevious() {
    Find(true);
    gtk_widget_grab_focus(Text);
}

void FindBar::Raise() {
    if (GdkWindow* window = gtk_widget_get_window(Box)) {
        gdk_window_raise(window);
    }
}

void FindBar::Find(bool backward) {
    const unsigned long search = ++Searches;
    const std::string text = gtk_entry_get_text(GTK_ENTRY(Text));
    const bool matchCase = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(MatchCase));
    if (text.empty()) {
        // Nothing to find: the highlight of an earlier text goes.
        gtk_label_set_text(GTK_LABEL(Count), "");
        View.FindText({}, false, matchCase, {});
        return;
    }
    const std::weak_ptr<FindBar*> self = Self;
    View.FindText(text, backward, matchCase, [self, search](int, int matches) {
        if (const std::shared_ptr<FindBar*> bar = self.lock()) {
            (*bar)->ShowResult(search, matches);
        }
    });
}

void FindBar::ShowResult(unsigned long search, int numberOfMatches) {
    if (search == Searches) {
        gtk_label_set_text(GTK_LABEL(Count), MatchCountText(numberOfMatches).c_str());
    }
}

GdkRectangle FindBar::PlaceOver(const GdkRectangle& viewArea) const {
    GtkRequisition natural{};
    gtk_widget_get_preferred_size(Box, nullptr, &natural);
    const int width = std::min(natural.width, viewArea.width);
    const int height = std::min(natural.height, viewArea.height);
    const int left = std::max(viewArea.x, viewArea.x + viewArea.width - kMargin - width);
    return {left, viewArea.y, width, height};
}

} // namespace browser
