#include "browser/WindowTwips.h"

#include "browser/TwipsGeometry.h"
#include "platform/DesignFrame.h"

#include <algorithm>

namespace browser {

double TwipsPerPixel() {
    GdkScreen* screen = gdk_screen_get_default();
    const double dpi = screen != nullptr ? gdk_screen_get_resolution(screen) : -1;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

namespace {

// The frame's extent along one axis: the outer frame's size less the client area's.
int FrameExtent(GtkWindow* window, bool horizontal) {
    const double design = horizontal ? platform::kDesignFrameWidth : platform::kDesignFrameHeight;
    const int designPixels = TwipsToPixels(design, TwipsPerPixel());
    GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(window));
    if (native == nullptr || !gtk_widget_get_mapped(GTK_WIDGET(window))) {
        return designPixels;
    }
    GdkRectangle frame;
    gdk_window_get_frame_extents(native, &frame);
    const int client = horizontal ? gdk_window_get_width(native) : gdk_window_get_height(native);
    return std::max((horizontal ? frame.width : frame.height) - client, designPixels);
}

} // namespace

int FrameWidthPixels(GtkWindow* window) {
    return FrameExtent(window, true);
}

int FrameHeightPixels(GtkWindow* window) {
    return FrameExtent(window, false);
}

GdkRectangle ScreenWorkArea(GtkWindow* window) {
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window));
    GdkMonitor* monitor = nullptr;
    if (GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(window)); native != nullptr) {
        monitor = gdk_display_get_monitor_at_window(display, native);
    }
    if (monitor == nullptr) {
        monitor = gdk_display_get_primary_monitor(display);
    }
    if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) {
        monitor = gdk_display_get_monitor(display, 0);
    }
    GdkRectangle area{0, 0, 0, 0};
    if (monitor != nullptr) {
        gdk_monitor_get_workarea(monitor, &area);
    }
    return area;
}

float ScreenFormWidth(GtkWindow* window) {
    const GdkRectangle area = ScreenWorkArea(window);
    if (area.width <= 0) {
        return 0;
    }
    const int room = area.width - FrameWidthPixels(window);
    return static_cast<float>(room * TwipsPerPixel() + platform::kDesignFrameWidth);
}

} // namespace browser
