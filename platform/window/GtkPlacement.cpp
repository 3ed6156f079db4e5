#include "platform/window/GtkPlacement.h"

#include "platform/DesignFrame.h"
#include "platform/ScreenFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <vector>

namespace platform {

namespace {

// Client sizes a stored placement may ask for, in pixels: a window too small to use or
// beyond what X11 can address is not kept.
constexpr int kMinClientWidth = 160;
constexpr int kMinClientHeight = 120;
constexpr int kMaxClientSize = 32767;
// Coordinates beyond these are no position (X11 uses 16-bit coordinates).
constexpr int kCoordinateLimit = 32767;

// The window's data: the state asked before the window exists on the server, and the outer size
// to apply again once the real frame is known.
constexpr char kStateKey[] = "orvane-placement-state";
constexpr char kPendingKey[] = "orvane-placement-pending";
constexpr char kFrameKey[] = "orvane-placement-frame";

struct Margins {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const Margins&) const = default;
};

struct PendingSize {
    int Width = 0, Height = 0; // outer, pixels
    int Asked = 0;             // times the client size was asked with the real frame
    bool Away = false;         // seen maximized, minimized or full screen since
    std::array<gulong, 3> Handlers;
};

// Twips per GTK logical pixel: 1440 / logical DPI.
double TwipsPerPixel(GtkWindow* window) {
    const double dpi = gdk_screen_get_resolution(gtk_window_get_screen(window));
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int ToPixels(double twips, double perPixel, int low, int high) {
    const double pixels = std::clamp(twips, -1e9, 1e9) / perPixel;
    return std::isnan(pixels) ? 0 : std::clamp(int(std::lround(pixels)), low, high);
}

Margins DesignFrame(double perPixel) {
    const int left = int(std::lround(kDesignFrameLeft / perPixel));
    const int top = int(std::lround(kDesignFrameTop / perPixel));
    return {left, top, int(std::lround(kDesignFrameWidth / perPixel)) - left,
            int(std::lround(kDesignFrameHeight / perPixel)) - top};
}

// The frame the window manager announces in _NET_FRAME_EXTENTS (left, right, top, bottom).
bool AnnouncedFrame(GdkWindow* gdk, Margins& frame) {
    GdkAtom type = nullptr;
    gint format = 0, length = 0;
    guchar* data = nullptr;
    const gboolean found = gdk_property_get(
        gdk, gdk_atom_intern_static_string("_NET_FRAME_EXTENTS"),
        gdk_atom_intern_static_string("CARDINAL"), 0, 4 * 4, FALSE, &type, &format, &length, &data);
    // The length asked is in bytes of the server's 32-bit items; they arrive as longs.
    const bool usable =
        found && data != nullptr && format == 32 && length >= gint(4 * sizeof(long));
    if (usable) {
        const long* items = reinterpret_cast<const long*>(data);
        const auto item = [&](int i) {
            return int(std::clamp(items[i], 0L, long(kMaxClientSize)));
        };
        frame = {item(0), item(2), item(1), item(3)};
    }
    g_free(data);
    return usable;
}

// Whether the server has mapped the window: only then has a window manager framed it.
bool ServerMapped(GdkWindow* gdk) {
    return gdk != nullptr && (gdk_window_get_state(gdk) & GDK_WINDOW_STATE_WITHDRAWN) == 0;
}

// The frame around the mapped window, once it is known: the one the manager announces; with a
// manager that announces none, the top-level window that holds ours; none without a manager.
bool RealFrame(GdkWindow* gdk, Margins& frame) {
    if (!ServerMapped(gdk)) {
        return false;
    }
    if (AnnouncedFrame(gdk, frame)) {
        return true;
    }
    if (gdk_x11_screen_supports_net_wm_hint(gdk_window_get_screen(gdk),
                                            gdk_atom_intern_static_string("_NET_FRAME_EXTENTS"))) {
        return false; // announced soon
    }
    GdkRectangle outer{};
    gdk_window_get_frame_extents(gdk, &outer);
    int x = 0, y = 0;
    gdk_window_get_origin(gdk, &x, &y);
    const int width = gdk_window_get_width(gdk), height = gdk_window_get_height(gdk);
    frame = {x - outer.x, y - outer.y, outer.x + outer.width - x - width,
             outer.y + outer.height - y - height};
    return frame.Left >= 0 && frame.Top >= 0 && frame.Right >= 0 && frame.Bottom >= 0;
}

// The real frame when it is known (kept with the window), else the last one known (the window
// minimized), else the design frame.
bool KnownFrame(GtkWindow* window, Margins& frame) {
    auto* known = static_cast<Margins*>(g_object_get_data(G_OBJECT(window), kFrameKey));
    Margins real;
    if (RealFrame(gtk_widget_get_window(GTK_WIDGET(window)), real)) {
        if (known == nullptr) {
            known = new Margins;
            g_object_set_data_full(G_OBJECT(window), kFrameKey, known,
                                   [](gpointer data) { delete static_cast<Margins*>(data); });
        }
        frame = *known = real;
        return true;
    }
    return false;
}

Margins KnownOrDesignFrame(GtkWindow* window, double perPixel) {
    Margins frame;
    if (KnownFrame(window, frame)) {
        return frame;
    }
    const auto* known = static_cast<Margins*>(g_object_get_data(G_OBJECT(window), kFrameKey));
    return known != nullptr ? *known : DesignFrame(perPixel);
}

bool InNormalState(GtkWindow* window) {
    GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window));
    const GdkWindowState special = GdkWindowState(
        GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN);
    return gdk == nullptr || (gdk_window_get_state(gdk) & special) == 0;
}

std::vector<ScreenRect> WorkAreas(GdkDisplay* display, ScreenRect& primary) {
    std::vector<ScreenRect> areas;
    GdkMonitor* main = gdk_display_get_primary_monitor(display);
    for (int i = 0, n = gdk_display_get_n_monitors(display); i < n; ++i) {
        GdkMonitor* monitor = gdk_display_get_monitor(display, i);
        GdkRectangle area{};
        gdk_monitor_get_workarea(monitor, &area);
        areas.push_back({area.x, area.y, area.width, area.height});
        if (monitor == main) {
            primary = areas.back();
        }
    }
    return areas;
}

void ForgetPendingSize(GtkWindow* window) {
    if (auto* pending =
            static_cast<PendingSize*>(g_object_get_data(G_OBJECT(window), kPendingKey))) {
        for (const gulong handler : pending->Handlers) {
            g_signal_handler_disconnect(window, handler);
        }
        g_object_set_data(G_OBJECT(window), kPendingKey, nullptr); // frees pending
    }
}

// Once the real frame is known, the outer size asked before is applied once more with it, in
// the normal state (a maximized, minimized or full-screen window gets it when it comes back).
// A manager may pass over a request made while it maps the window: the size is asked again
// until the server reports it, a few times at most.
gboolean OnWindowEvent(GtkWidget* widget, GdkEvent* event, gpointer data) {
    GtkWindow* window = GTK_WINDOW(widget);
    auto* pending = static_cast<PendingSize*>(data);
    Margins frame;
    if (!KnownFrame(window, frame)) {
        return FALSE;
    }
    const int width = std::max(1, pending->Width - frame.Left - frame.Right);
    const int height = std::max(1, pending->Height - frame.Top - frame.Bottom);
    GdkWindow* gdk = gtk_widget_get_window(widget);
    const bool configured = event->type == GDK_CONFIGURE;
    const int serverWidth = configured ? event->configure.width : gdk_window_get_width(gdk);
    const int serverHeight = configured ? event->configure.height : gdk_window_get_height(gdk);
    constexpr int kMaxAsked = 4;
    if (!InNormalState(window)) {
        pending->Away = true; // asked again once the window is back in the normal state
        return FALSE;
    }
    if (pending->Away) { // the requests made before went by unheeded: they count again
        pending->Away = false;
        pending->Asked = 0;
    }
    if ((serverWidth == width && serverHeight == height) || pending->Asked >= kMaxAsked) {
        ForgetPendingSize(window); // frees pending
        return FALSE;
    }
    if (pending->Asked == 0 || configured) {
        ++pending->Asked;
        gtk_window_resize(window, width, height);
        // GTK sends no request it has sent before, and a manager busy mapping or restoring the
        // window may have let that one go by: the size also goes to the server itself.
        gdk_window_resize(gdk, width, height);
    }
    return FALSE;
}

void ApplySizeWhenFramed(GtkWindow* window, int outerWidth, int outerHeight) {
    ForgetPendingSize(window);
    auto* pending = new PendingSize{outerWidth, outerHeight, 0, false, {}};
    // The data and the handlers go together: they are dropped together once the size is
    // applied or a later Move replaces them, and the window frees the data when it dies first.
    g_object_set_data_full(G_OBJECT(window), kPendingKey, pending,
                           [](gpointer data) { delete static_cast<PendingSize*>(data); });
    // Before GtkWindow's own handlers: its configure handler ends the emission.
    const char* signals[] = {"map-event", "configure-event", "property-notify-event"};
    for (std::size_t i = 0; i < pending->Handlers.size(); ++i) {
        pending->Handlers[i] =
            g_signal_connect(window, signals[i], G_CALLBACK(OnWindowEvent), pending);
    }
}

class GtkPlacement : public PlacementWindow {
public:
    explicit GtkPlacement(GtkWindow* window) : window_(window) {}

    int WindowState() const override {
        GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window_));
        if (gdk == nullptr) { // not realized: the state asked so far
            return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(window_), kStateKey));
        }
        const GdkWindowState state = gdk_window_get_state(gdk);
        if (state & GDK_WINDOW_STATE_ICONIFIED) {
            return vbMinimized;
        }
        if (state & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN)) {
            return vbMaximized;
        }
        return vbNormal;
    }

    void SetWindowState(int state) override {
        const int kept = state == vbMinimized || state == vbMaximized ? state : vbNormal;
        g_object_set_data(G_OBJECT(window_), kStateKey, GINT_TO_POINTER(kept));
        if (kept == vbMinimized) {
            gtk_window_iconify(window_);
            return;
        }
        gtk_window_deiconify(window_);
        gtk_window_unfullscreen(window_);
        if (kept == vbMaximized) {
            gtk_window_maximize(window_);
        } else {
            gtk_window_unmaximize(window_);
        }
    }

    double Left() const override { return X() * TwipsPerPixel(window_); }
    double Top() const override { return Y() * TwipsPerPixel(window_); }
    double Width() const override {
        const Margins frame = KnownOrDesignFrame(window_, TwipsPerPixel(window_));
        return (ClientWidth() + frame.Left + frame.Right) * TwipsPerPixel(window_);
    }
    double Height() const override {
        const Margins frame = KnownOrDesignFrame(window_, TwipsPerPixel(window_));
        return (ClientHeight() + frame.Top + frame.Bottom) * TwipsPerPixel(window_);
    }

    void Move(double left, double top, double width, double height) override {
        const double perPixel = TwipsPerPixel(window_);
        const Margins frame = KnownOrDesignFrame(window_, perPixel);
        const int frameWidth = frame.Left + frame.Right, frameHeight = frame.Top + frame.Bottom;
        const int clientWidth =
            std::clamp(ToPixels(width, perPixel, -kMaxClientSize, kMaxClientSize) - frameWidth,
                       kMinClientWidth, kMaxClientSize);
        const int clientHeight =
            std::clamp(ToPixels(height, perPixel, -kMaxClientSize, kMaxClientSize) - frameHeight,
                       kMinClientHeight, kMaxClientSize);
        ScreenRect outer{ToPixels(left, perPixel, -kCoordinateLimit, kCoordinateLimit),
                         ToPixels(top, perPixel, -kCoordinateLimit, kCoordinateLimit),
                         clientWidth + frameWidth, clientHeight + frameHeight};
        ScreenRect primary;
        const std::vector<ScreenRect> areas =
            WorkAreas(gtk_widget_get_display(GTK_WIDGET(window_)), primary);
        outer = KeepOnScreen(outer, areas, primary);

        // A window manager moves and sizes a maximized window only as the bounds it returns to
        // when restored, if at all: apply them in the normal state and go back to the state.
        const bool mapped = ServerMapped(gtk_widget_get_window(GTK_WIDGET(window_)));
        const int state = WindowState();
        if (mapped && state == vbMaximized) {
            gtk_window_unmaximize(window_);
        }
        gtk_window_move(window_, outer.Left, outer.Top);
        gtk_window_resize(window_, std::max(1, outer.Width - frameWidth),
                          std::max(1, outer.Height - frameHeight));
        if (mapped && state == vbMaximized) {
            gtk_window_maximize(window_);
        }
        // The frame may have become known meanwhile: the size follows until the server has it.
        Margins real;
        GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window_));
        const bool granted = KnownFrame(window_, real) && real == frame &&
                             gdk_window_get_width(gdk) == outer.Width - frameWidth &&
                             gdk_window_get_height(gdk) == outer.Height - frameHeight;
        if (granted) {
            ForgetPendingSize(window_);
        } else {
            ApplySizeWhenFramed(window_, outer.Width, outer.Height);
        }
    }

    void DoEvents() override {
        while (gtk_events_pending()) {
            gtk_main_iteration();
        }
    }

private:
    // With the default gravity GTK gives the frame's top-left corner, or before the window is
    // mapped the position last asked.
    int X() const {
        int x = 0, y = 0;
        gtk_window_get_position(window_, &x, &y);
        return x;
    }
    int Y() const {
        int x = 0, y = 0;
        gtk_window_get_position(window_, &x, &y);
        return y;
    }
    int ClientWidth() const {
        int width = 0, height = 0;
        gtk_window_get_size(window_, &width, &height);
        return width;
    }
    int ClientHeight() const {
        int width = 0, height = 0;
        gtk_window_get_size(window_, &width, &height);
        return height;
    }

    GtkWindow* window_;
};

} // namespace

std::unique_ptr<PlacementWindow> CreateGtkPlacement(GtkWindow* window) {
    return std::make_unique<GtkPlacement>(window);
}

} // namespace platform
