#pragma once
// What another X11 client sees of the windows on $DISPLAY and does to them: one xcb connection
// reads properties; xdotool types keys and asks the window manager, as a person would.
#include "platform/x11/XcbReply.h"
#include "support/Files.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

struct XBounds {
    int x = 0, y = 0, width = 0, height = 0;
};

class XDisplay {
public:
    XDisplay() = default;
    ~XDisplay() {
        for (const xcb_window_t w : made)
            xcb_destroy_window(c, w);
        Sync(); // gone before the next test asks
        xcb_disconnect(c);
    }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // The reply to a request, as Ask(xcb_get_geometry_reply, xcb_get_geometry, w); null when
    // the request failed.
    template <class Reply, class Cookie, class... Parameters>
    auto Ask(Reply* (*reply)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
             Cookie (*request)(xcb_connection_t*, Parameters...), auto... arguments) {
        return platform::OwnReply(reply(c, request(c, arguments...), nullptr));
    }
    xcb_window_t Focus() { // a round trip: this connection's requests are all done
        const auto reply = Ask(xcb_get_input_focus_reply, xcb_get_input_focus);
        return reply ? reply->focus : 0;
    }
    void Sync() { Focus(); }
    // A window of this connection, not mapped, destroyed with it: a bare top-level one, or one
    // of override-redirect (a frame of the test's own manager, which a real manager leaves be).
    xcb_window_t Window(xcb_window_t parent, bool overrideRedirect = false) {
        const xcb_window_t w = made.emplace_back(xcb_generate_id(c));
        const std::uint32_t value = overrideRedirect;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 10, 10, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &value);
        return w;
    }
    xcb_atom_t Atom(const char* name) {
        const auto reply = Ask(xcb_intern_atom_reply, xcb_intern_atom, 0, std::strlen(name), name);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    std::string Bytes(xcb_window_t w, xcb_atom_t property) {
        const auto r = Ask(xcb_get_property_reply, xcb_get_property, 0, w, property,
                           XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20);
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
    // The name the running window manager gives its check window ("Openbox", "Weston WM"), or
    // "none".
    std::string WindowManager() {
        const auto check = Cardinals(root, "_NET_SUPPORTING_WM_CHECK");
        return check.empty() ? "none" : Caption(check[0]);
    }
    xcb_window_t ActiveWindow() {
        const auto active = Cardinals(root, "_NET_ACTIVE_WINDOW");
        return active.empty() ? 0 : active[0];
    }
    // The client area on the screen, without the window manager's frame.
    XBounds Bounds(xcb_window_t w) {
        const auto at =
            Ask(xcb_translate_coordinates_reply, xcb_translate_coordinates, w, root, 0, 0);
        const auto size = Ask(xcb_get_geometry_reply, xcb_get_geometry, w);
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
    std::vector<xcb_window_t> made;
};

} // namespace testsupport
