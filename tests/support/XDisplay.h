#pragma once
// What another X11 client sees of the windows on $DISPLAY and does to them: one xcb connection
// reads properties; xdotool types keys and asks the window manager, as a person would.
#include "support/Files.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

struct XBounds {
    int x = 0, y = 0, width = 0, height = 0;
};

class XDisplay {
public:
    XDisplay() = default;
    ~XDisplay() { xcb_disconnect(c); }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    template <class T> static std::unique_ptr<T, decltype(&std::free)> Own(T* reply) {
        return {reply, &std::free};
    }
    xcb_atom_t Atom(const char* name) {
        const auto reply = Own(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    std::string Bytes(xcb_window_t w, xcb_atom_t property) {
        const auto r = Own(xcb_get_property_reply(
            c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
            nullptr));
        return r ? std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                               xcb_get_property_value_length(r.get()))
                 : std::string();
    }
    std::vector<std::uint32_t> Cardinals(xcb_window_t w, const char* property) {
        const std::string bytes = Bytes(w, Atom(property));
        std::vector<std::uint32_t> values(bytes.size() / 4);
        std::memcpy(values.data(), bytes.data(), values.size() * 4);
        return values;
    }
    std::string Caption(xcb_window_t w) { return Bytes(w, Atom("_NET_WM_NAME")); }
    std::string Class(xcb_window_t w) { // the class part of WM_CLASS ("instance\0class\0")
        const std::string value = Bytes(w, XCB_ATOM_WM_CLASS);
        return value.c_str() + std::min(value.size(), std::strlen(value.c_str()) + 1);
    }
    bool HasState(xcb_window_t w, const char* state) {
        return std::ranges::count(Cardinals(w, "_NET_WM_STATE"), Atom(state)) > 0;
    }
    bool Maximized(xcb_window_t w) {
        return HasState(w, "_NET_WM_STATE_MAXIMIZED_VERT") &&
               HasState(w, "_NET_WM_STATE_MAXIMIZED_HORZ");
    }
    bool WindowManager() { return !Cardinals(root, "_NET_SUPPORTING_WM_CHECK").empty(); }
    xcb_window_t ActiveWindow() {
        const auto active = Cardinals(root, "_NET_ACTIVE_WINDOW");
        return active.empty() ? 0 : active[0];
    }
    // The client area on the screen, without the window manager's frame.
    XBounds Bounds(xcb_window_t w) {
        const auto at = Own(xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr));
        const auto size = Own(xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
        if (!at || !size)
            return {};
        return {at->dst_x, at->dst_y, size->width, size->height};
    }
    // The program's main windows that the window manager shows.
    std::vector<xcb_window_t> Forms() {
        std::vector<xcb_window_t> forms;
        for (const xcb_window_t w : Cardinals(root, "_NET_CLIENT_LIST"))
            if (Class(w) == "ThunderRT6FormDC")
                forms.push_back(w);
        return forms;
    }

    // Runs an xdotool command on the window, then types the keys ("alt+f") as a person would.
    static bool Xdotool(const std::string& command, xcb_window_t w, const std::string& keys = {}) {
        return RunProgram({"xdotool", command, "--sync", std::to_string(w)}) == 0 &&
               (keys.empty() || RunProgram({"xdotool", "key", "--clearmodifiers", keys}) == 0);
    }

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
};

} // namespace testsupport
