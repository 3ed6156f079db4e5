#include "about/frmAbout.h"

#include "about/ProgramInfo.h"

#include <cmath>
#include <memory>

extern "C" void orvane_about_register_resource(void);

namespace frmAbout {

namespace {

struct Geometry {
    int Left, Top, Width, Height; // twips, in the client area
};

struct LabelDesign {
    int Index;
    Geometry Bounds;
    const char* Text; // UTF-8
};

// The plain labels in creation order; `Lbl`(4) does not exist.
constexpr std::array<LabelDesign, 6> kLblDesign{{
    {6, {240, 1680, 795, 225}, "Email :"},
    {5, {240, 1440, 795, 225}, "Web :"},
    {3, {240, 1200, 3195, 225}, ProgramInfo::kLegalNotice},
    {2, {1320, 840, 4455, 225}, "Description"},
    {0, {1320, 240, 4451, 360}, "Titre de l'application"},
    {1, {1320, 600, 4451, 225}, "Version"},
}};
constexpr std::array<Geometry, 2> kWebLblBounds{{{840, 1440, 1815, 255}, {840, 1680, 1815, 255}}};
constexpr Geometry kBoutonBounds{4560, 1440, 1215, 375};
constexpr int kPicIconLeft = 240, kPicIconTop = 240;
constexpr int kClientWidth = 5925, kClientHeight = 1950;
constexpr char kDataKey[] = "orvane-about";

// The dialog's state, kept with its window and freed with it.
struct Dialog {
    Controls controls;
    Navigator navigate;
    std::array<std::string, 3> tags; // picIcon, WebLbl 0, WebLbl 1
    GtkWidget* hovered = nullptr;    // the link under the pointer
    GtkWindow* window = nullptr;
};

double TwipsPerPixel(GtkWidget* widget) {
    const double dpi = gdk_screen_get_resolution(gtk_widget_get_screen(widget));
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int Pixels(int twips, double perPixel) {
    return int(std::lround(twips / perPixel));
}

void Place(GtkFixed* fixed, GtkWidget* control, const Geometry& g, double perPixel) {
    gtk_widget_set_size_request(control, Pixels(g.Width, perPixel), Pixels(g.Height, perPixel));
    gtk_fixed_put(fixed, control, Pixels(g.Left, perPixel), Pixels(g.Top, perPixel));
}

// A label's look: its text colour (none: the theme's) and underline.
void SetLook(GtkWidget* label, const char* colour, bool underline, bool bold = false) {
    PangoAttrList* list = pango_attr_list_new();
    PangoColor parsed;
    if (colour != nullptr && pango_color_parse(&parsed, colour)) {
        pango_attr_list_insert(list,
                               pango_attr_foreground_new(parsed.red, parsed.green, parsed.blue));
    }
    if (underline) {
        pango_attr_list_insert(list, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
    if (bold) {
        pango_attr_list_insert(list, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
        pango_attr_list_insert(list, pango_attr_size_new(12 * PANGO_SCALE));
    }
    gtk_label_set_attributes(GTK_LABEL(label), list);
    pango_attr_list_unref(list);
}

GtkWidget* NewLabel(const char* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_label_set_yalign(GTK_LABEL(label), 0);
    atk_object_set_name(gtk_widget_get_accessible(label), text);
    return label;
}

void SetText(GtkWidget* label, const std::string& text) {
    gtk_label_set_text(GTK_LABEL(label), text.c_str());
    atk_object_set_name(gtk_widget_get_accessible(label), text.c_str());
}

GtkWidget* LabelOf(GtkWidget* link) {
    return gtk_bin_get_child(GTK_BIN(link));
}

int LinkIndex(const Dialog& dialog, GtkWidget* link) {
    return link == dialog.controls.picIcon                            ? 0
           : link == gtk_widget_get_parent(dialog.controls.WebLbl[0]) ? 1
           : link == gtk_widget_get_parent(dialog.controls.WebLbl[1]) ? 2
                                                                      : -1;
}

// Gives a link, or takes from it, the look it has under the pointer: a pointing hand, and on
// the address labels blue underlined text (black once the pointer has left).
void SetHovered(Dialog& dialog, GtkWidget* link, bool hovered) {
    if (hovered == (dialog.hovered == link)) {
        return;
    }
    if (hovered && dialog.hovered != nullptr) {
        SetHovered(dialog, dialog.hovered, false);
    }
    dialog.hovered = hovered ? link : nullptr;
    if (GdkWindow* window = gtk_widget_get_window(link)) {
        GdkCursor* hand =
            hovered ? gdk_cursor_new_from_name(gtk_widget_get_display(link), "pointer") : nullptr;
        gdk_window_set_cursor(window, hand);
        if (hand != nullptr) {
            g_object_unref(hand);
        }
    }
    if (link != dialog.controls.picIcon) {
        SetLook(LabelOf(link), hovered ? "#0000ff" : "#000000", hovered);
    }
}

gboolean OnEnter(GtkWidget* link, GdkEventCrossing* event, gpointer data) {
    if (event->detail != GDK_NOTIFY_INFERIOR) {
        SetHovered(*static_cast<Dialog*>(data), link, true);
    }
    return FALSE;
}

gboolean OnLeave(GtkWidget* link, GdkEventCrossing* event, gpointer data) {
    if (event->detail != GDK_NOTIFY_INFERIOR) {
        SetHovered(*static_cast<Dialog*>(data), link, false);
    }
    return FALSE;
}

gboolean OnRelease(GtkWidget* link, GdkEventButton* event, gpointer data) {
    Dialog& dialog = *static_cast<Dialog*>(data);
    GtkAllocation area;
    gtk_widget_get_allocation(link, &area);
    const bool inside =
        event->x >= 0 && event->y >= 0 && event->x < area.width && event->y < area.height;
    const int index = LinkIndex(dialog, link);
    if (dialog.hovered != link || event->button != GDK_BUTTON_PRIMARY || !inside || index < 0) {
        return FALSE;
    }
    const std::string target = dialog.tags[std::size_t(index)];
    const Navigator navigate = dialog.navigate;
    GtkWindow* window = dialog.window;
    navigate(target); // before the dialog closes
    gtk_widget_destroy(GTK_WIDGET(window));
    return TRUE;
}

// Key preview: the dialog sees every key before the control that has the focus; Escape is
// discarded and closes the dialog as OK does.
gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer) {
    if (event->keyval == GDK_KEY_Escape) {
        gtk_widget_destroy(window);
        return TRUE;
    }
    return FALSE;
}

GtkWidget* NewLink(Dialog& dialog, GtkWidget* child) {
    GtkWidget* box = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(box), child);
    gtk_widget_add_events(box, GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK |
                                   GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
    // The handlers point at the dialog's state, which dies with the window after its children.
    g_signal_connect(box, "enter-notify-event", G_CALLBACK(OnEnter), &dialog);
    g_signal_connect(box, "leave-notify-event", G_CALLBACK(OnLeave), &dialog);
    g_signal_connect(box, "button-release-event", G_CALLBACK(OnRelease), &dialog);
    return box;
}

void Form_Load(Dialog& dialog) {
    const Controls& c = dialog.controls;
    gtk_window_set_title(dialog.window, ("\u00c0 propos de " + ProgramInfo::Title()).c_str());
    SetText(c.Lbl[1], ProgramInfo::VersionLine(ProgramInfo::Major, ProgramInfo::Minor,
                                               ProgramInfo::Revision));
    SetText(c.Lbl[0], ProgramInfo::Title());
    SetText(c.Lbl[2], ProgramInfo::Description());
}

} // namespace

GtkWindow* Build(GtkWindow* owner, Navigator navigate) {
    static const bool registered = (orvane_about_register_resource(), true);
    (void)registered;
    GtkWindow* window = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    auto* dialog = new Dialog;
    g_object_set_data_full(G_OBJECT(window), kDataKey, dialog,
                           [](gpointer data) { delete static_cast<Dialog*>(data); });
    dialog->window = window;
    dialog->navigate = std::move(navigate);
    dialog->tags = {ProgramInfo::kMakerHost, ProgramInfo::kMakerWeb, ProgramInfo::MailTarget()};
    Controls& c = dialog->controls;

    // A fixed dialog frame over the owner: no resizing, no minimize or maximize button.
    gtk_window_set_title(window, "\u00c0 propos de");
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_modal(window, TRUE);
    if (owner != nullptr) {
        gtk_window_set_transient_for(window, owner);
        gtk_window_set_destroy_with_parent(window, TRUE);
    }
    gtk_window_set_position(window, GTK_WIN_POS_CENTER_ON_PARENT);
    if (GdkPixbuf* icon = gdk_pixbuf_new_from_resource("/orvane/about/about-icon.png", nullptr)) {
        gtk_window_set_icon(window, icon);
        g_object_unref(icon);
    }
    const double perPixel = TwipsPerPixel(GTK_WIDGET(window));
    GtkFixed* fixed = GTK_FIXED(gtk_fixed_new());
    gtk_widget_set_size_request(GTK_WIDGET(fixed), Pixels(kClientWidth, perPixel),
                                Pixels(kClientHeight, perPixel));
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(fixed));

    c.Bouton = gtk_button_new_with_mnemonic("_OK");
    gtk_button_set_image(GTK_BUTTON(c.Bouton),
                         gtk_image_new_from_resource("/orvane/about/tick.png"));
    gtk_button_set_always_show_image(GTK_BUTTON(c.Bouton), TRUE);
    Place(fixed, c.Bouton, kBoutonBounds, perPixel);
    gtk_widget_set_can_default(c.Bouton, TRUE);
    g_signal_connect_swapped(c.Bouton, "clicked", G_CALLBACK(gtk_widget_destroy), window);

    // The program's icon, sized to its picture; the host name is its target.
    c.picIcon = NewLink(*dialog, gtk_image_new_from_resource("/orvane/orvane/orvane-48.png"));
    gtk_fixed_put(fixed, c.picIcon, Pixels(kPicIconLeft, perPixel), Pixels(kPicIconTop, perPixel));
    atk_object_set_name(gtk_widget_get_accessible(c.picIcon), ProgramInfo::kMakerHost);

    const char* addresses[] = {ProgramInfo::kMakerWeb, ProgramInfo::kMakerEmail};
    for (const int i : {1, 0}) {
        c.WebLbl[i] = NewLabel(addresses[i]);
        Place(fixed, NewLink(*dialog, c.WebLbl[i]), kWebLblBounds[i], perPixel);
    }
    for (const LabelDesign& design : kLblDesign) {
        c.Lbl[design.Index] = NewLabel(design.Text);
        Place(fixed, c.Lbl[design.Index], design.Bounds, perPixel);
    }
    SetLook(c.Lbl[2], "#000000", false);
    SetLook(c.Lbl[0], "#000000", false, true);

    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
    Form_Load(*dialog);
    gtk_widget_show_all(GTK_WIDGET(fixed));
    gtk_window_set_default(window, c.Bouton);
    gtk_widget_grab_focus(c.Bouton);
    return window;
}

const Controls& ControlsOf(GtkWindow* dialog) {
    return static_cast<Dialog*>(g_object_get_data(G_OBJECT(dialog), kDataKey))->controls;
}

void ShowModal(GtkWindow* owner, Navigator navigate) {
    GtkWindow* window = Build(owner, std::move(navigate));
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_signal_connect_swapped(window, "destroy", G_CALLBACK(g_main_loop_quit), loop);
    gtk_widget_show(GTK_WIDGET(window));
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
}

} // namespace frmAbout
