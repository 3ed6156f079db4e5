// The main window's construction: the toolbar, the progress bar, the web view, the status bar
// and the links menu, in their design places; closing.
#include "browser/BrowserFrm.h"

#include "browser/BrowserFrmImpl.h"
#include "browser/ButtonTexts.h"
#include "browser/FreeLayout.h"
#include "browser/WindowIdentity.h"
#include "browser/WindowTwips.h"

#include <algorithm>

extern "C" void orvane_icons_register_resource();

namespace {

using Target = browser::SignalTarget;

void OnButtonClicked(GtkButton*, gpointer data) {
    auto* target = static_cast<Target*>(data);
    target->Frm->Bouton_Click(target->Index);
}

void OnArrowClicked(GtkButton*, gpointer data) {
    auto* target = static_cast<Target*>(data);
    target->Frm->Bouton_DropDown(target->Index);
}

void OnLinkActivated(GtkMenuItem*, gpointer data) {
    auto* target = static_cast<Target*>(data);
    target->Frm->MLink_Click(target->Index);
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<BrowserFrm*>(data)->Close();
    return TRUE; // the window stays until the BrowserFrm goes
}

// Every key reaches the window first, before the control that has the keyboard.
gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    return static_cast<BrowserFrm*>(data)->Tools().KeyPressed(*event) ? TRUE : FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
    auto* frm = static_cast<BrowserFrm*>(data);
    frm->Form_Resize();
    (void)event;
    return FALSE;
}

// The button's icon at the design size, from the window's resource bundle: bitmaps drawn
// beforehand at that size and at twice it, so that no drawing is rendered at start and a scaled
// screen gets sharp icons. The bitmap's own width tells the scale it is shown at.
GtkWidget* ButtonIcon(const char* icon) {
    const int screen =
        gdk_window_get_scale_factor(gdk_screen_get_root_window(gdk_screen_get_default()));
    GdkPixbuf* picture =
        gdk_pixbuf_new_from_resource(browser::IconResource(icon, screen).c_str(), nullptr);
    if (picture == nullptr && screen >= 2) {
        picture = gdk_pixbuf_new_from_resource(browser::IconResource(icon).c_str(), nullptr);
    }
    if (picture == nullptr) {
        return nullptr;
    }
    const int scale = std::max(1, gdk_pixbuf_get_width(picture) / browser::kIconPixels);
    cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(picture, scale, nullptr);
    g_object_unref(picture);
    GtkWidget* image = gtk_image_new_from_surface(surface);
    cairo_surface_destroy(surface);
    return image;
}

void SetAccessibleName(GtkWidget* widget, const std::string& name) {
    if (AtkObject* accessible = gtk_widget_get_accessible(widget)) {
        atk_object_set_name(accessible, name.c_str());
    }
}

// The toolbar's buttons carry captions in an 8-point font with narrow margins, so that the
// longest ("Enregistrer", "Rechercher") fits a button of the design width.
void UseToolbarStyle() {
    GtkCssProvider* style = gtk_css_provider_new();
    gtk_css_provider_load_from_data(style,
                                    "button.orvane-tool { padding: 2px 1px; }"
                                    "button.orvane-tool label { font-size: 8pt; }",
                                    -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(style),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(style);
}

GtkWidget* ToolButton(const browser::ButtonDesign& design) {
    GtkWidget* button =
        gtk_button_new_with_mnemonic(browser::MnemonicCaption(design.Caption).c_str());
    gtk_style_context_add_class(gtk_widget_get_style_context(button), "orvane-tool");
    if (GtkWidget* image = ButtonIcon(design.Icon)) {
        gtk_button_set_image(GTK_BUTTON(button), image);
        gtk_button_set_image_position(GTK_BUTTON(button), GTK_POS_TOP);
        gtk_button_set_always_show_image(GTK_BUTTON(button), TRUE);
    }
    if (*design.ToolTip != '\0') {
        gtk_widget_set_tooltip_text(button, design.ToolTip);
    }
    SetAccessibleName(button, browser::PlainCaption(design.Caption));
    gtk_widget_set_focus_on_click(button, FALSE);
    return button;
}

} // namespace

BrowserFrm::BrowserFrm(const WebViewFactory& makeWebView) : d(std::make_unique<Impl>()) {
    Build(makeWebView);
}

BrowserFrm::~BrowserFrm() {
    // The web view's widget goes with the window; the view object goes first so that none of
    // its events reaches a window being destroyed.
    g_signal_handlers_disconnect_by_data(d->Window, this);
    d->View.reset();
    WB = nullptr;
    d->Tools.reset();
    gtk_widget_destroy(MenuLiens);
    gtk_widget_destroy(d->Window);
}

void BrowserFrm::Build(const WebViewFactory& makeWebView) {
    static const bool registered = (orvane_icons_register_resource(), UseToolbarStyle(), true);
    (void)registered;

    d->Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(d->Window);
    const double tpp = browser::TwipsPerPixel();
    gtk_window_set_default_size(window, browser::TwipsToPixels(browser::kClientWidth, tpp),
                                browser::TwipsToPixels(browser::kClientHeight, tpp));
    d->Layout = browser::FreeLayoutNew();
    gtk_container_add(GTK_CONTAINER(d->Window), d->Layout);

    for (const browser::ButtonDesign& design : browser::kButtons) {
        GtkWidget* button = ToolButton(design);
        Target* target = d->TargetFor(this, design.Index);
        g_signal_connect(button, "clicked", G_CALLBACK(OnButtonClicked), target);
        if (design.Index == browser::kHomeButton) {
            // The split button: its main part and, beside it, the arrow that opens the links.
            HomeMain = button;
            HomeArrow = gtk_button_new_from_icon_name("pan-down-symbolic", GTK_ICON_SIZE_MENU);
            gtk_widget_set_focus_on_click(HomeArrow, FALSE);
            gtk_style_context_add_class(gtk_widget_get_style_context(HomeArrow), "orvane-tool");
            SetAccessibleName(HomeArrow, "Liens");
            g_signal_connect(HomeArrow, "clicked", G_CALLBACK(OnArrowClicked), target);
            GtkWidget* split = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
            gtk_box_pack_start(GTK_BOX(split), HomeMain, TRUE, TRUE, 0);
            gtk_box_pack_start(GTK_BOX(split), HomeArrow, FALSE, FALSE, 0);
            button = split;
        }
        Bouton[design.Index] = button;
        Place(button, {design.Left, design.Top, design.Width, design.Height});
    }

    PBar = gtk_progress_bar_new();
    SetAccessibleName(PBar, "Progression du chargement");
    gtk_widget_set_no_show_all(PBar, TRUE);
    Place(PBar, {browser::kProgressDesign.Left, browser::kProgressDesign.Top,
                 browser::kProgressDesign.Width, browser::kProgressDesign.Height});

    StatusBar = gtk_statusbar_new();
    gtk_widget_set_margin_top(StatusBar, 0);
    gtk_widget_set_margin_bottom(StatusBar, 0);
    d->StatusContext = gtk_statusbar_get_context_id(GTK_STATUSBAR(StatusBar), "page");
    // No fixed accessible name: a status bar's name is the text it shows, and assistive
    // technologies are told each new one.
    browser::FreeLayoutDockBottom(d->Layout, StatusBar,
                                  browser::TwipsToPixels(browser::kStatusBarHeight, tpp));

    platform::WebViewEvents events;
    events.DownloadBegin = [this] { WB_DownloadBegin(); };
    events.DownloadComplete = [this] { WB_DownloadComplete(); };
    events.NavigateComplete = [this](const std::string& address) { WB_NavigateComplete(address); };
    events.DocumentComplete = [this](const std::string& address) { WB_DocumentComplete(address); };
    events.StatusTextChange = [this](const std::string& text) { WB_StatusTextChange(text); };
    events.ProgressChange = [this](int progress, int maximum) {
        WB_ProgressChange(progress, maximum);
    };
    events.NewWindow = [this](bool& cancel) { WB_NewWindow(cancel); };
    events.TitleChange = [this] { UpdateCaption(); };
    events.FullScreenRequested = [this](bool on) { WB_FullScreenRequested(on); };
    d->View = makeWebView(std::move(events));
    WB = d->View.get();
    Place(WB->Widget(), {browser::kWebViewDesign.Left, browser::kWebViewDesign.Top,
                         browser::kWebViewDesign.Width, browser::kWebViewDesign.Height});
    d->Tools = std::make_unique<browser::PageTools>(*this, d->Layout);

    MenuLiens = gtk_menu_new();
    for (int n = 0; n < static_cast<int>(MLink.size()); ++n) {
        MLink[n] = gtk_menu_item_new_with_label(browser::kLinkEntries[n].Caption);
        g_signal_connect(MLink[n], "activate", G_CALLBACK(OnLinkActivated), d->TargetFor(this, n));
        gtk_widget_set_visible(MLink[n], browser::kLinkEntries[n].Visible);
        gtk_menu_shell_append(GTK_MENU_SHELL(MenuLiens), MLink[n]);
    }
    g_object_ref_sink(MenuLiens);

    // Tab: the web view, then the buttons in their tab order.
    std::vector<GtkWidget*> order{WB->Widget()};
    std::array<const browser::ButtonDesign*, browser::kButtonCount> byTab{};
    for (const browser::ButtonDesign& design : browser::kButtons) {
        byTab[design.TabOrder - 1] = &design;
    }
    for (const browser::ButtonDesign* design : byTab) {
        order.push_back(design->Index == browser::kHomeButton ? HomeMain : Bouton[design->Index]);
    }
    browser::FreeLayoutSetFocusOrder(d->Layout, order);

    browser::FreeLayoutOnAllocate(d->Layout, [this](int, int) { Form_Resize(); });
    g_signal_connect(d->Window, "key-press-event", G_CALLBACK(OnKeyPress), this);
    g_signal_connect(d->Window, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(d->Window, "window-state-event", G_CALLBACK(OnWindowState), this);
    // Other programs know the main window by its class (WM_CLASS), set for the whole program
    // before this window; set here too, so that the window has it whoever made the program.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_window_set_wmclass(window, "orvane", browser::kWindowClass);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

GtkWindow* BrowserFrm::Window() const {
    return GTK_WINDOW(d->Window);
}

void BrowserFrm::Show() {
    gtk_widget_show_all(d->Window);
    gtk_window_present(GTK_WINDOW(d->Window));
    WB->SetFocus();
}

browser::PageTools& BrowserFrm::Tools() {
    return *d->Tools;
}

void BrowserFrm::Close() {
    if (d->Closing) {
        return; // asked again while leaving full screen
    }
    // Full screen is no state to keep: the placement saved is the one it was entered from. The
    // window system's answers are awaited, and a second close asked meanwhile is the same one.
    d->Closing = true;
    d->Tools->LeaveFullScreenToClose();
    int cancel = 0;
    if (Unload) {
        Unload(cancel);
    }
    d->Closing = false;
    if (cancel != 0) {
        return;
    }
    gtk_widget_hide(d->Window);
    if (Closed) {
        Closed();
    } else if (gtk_main_level() > 0) {
        gtk_main_quit();
    }
}

void BrowserFrm::Place(GtkWidget* control, const browser::TwipsRect& rect) {
    d->Twips[control] = rect;
    const browser::PixelRect pixels = browser::ToPixels(rect, browser::TwipsPerPixel());
    browser::FreeLayoutPlace(d->Layout, control, pixels.X, pixels.Y, pixels.Width, pixels.Height);
}

browser::TwipsRect BrowserFrm::Twips(GtkWidget* control) const {
    const auto found = d->Twips.find(control);
    return found != d->Twips.end() ? found->second : browser::TwipsRect{};
}

void BrowserFrm::SetLinkEntry(int index, const std::string& caption, bool visible) {
    if (index < 0 || index >= static_cast<int>(MLink.size())) {
        return;
    }
    gtk_menu_item_set_label(GTK_MENU_ITEM(MLink[index]), caption.c_str());
    gtk_widget_set_visible(MLink[index], visible);
}

void BrowserFrm::SetButtonToolTip(int index, const std::string& toolTip) {
    if (index < 0 || index >= browser::kButtonCount) {
        return;
    }
    GtkWidget* button = index == browser::kHomeButton ? HomeMain : Bouton[index];
    gtk_widget_set_tooltip_text(button, toolTip.empty() ? nullptr : toolTip.c_str());
}
