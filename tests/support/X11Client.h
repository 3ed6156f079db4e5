#pragma once
// What another X11 client sees of the windows on $DISPLAY and does to them: one xcb connection
// reads properties and makes test windows; xdotool types keys and asks the window manager.
#include <QProcess>
#include <QRect>
#include <QTest>
#include <xcb/xcb.h>

#include <cstring>
#include <memory>
#include <vector>

// Guards each wait for the window system or a program against a hang; it measures no speed.
inline constexpr int kX11WaitMs = 60000;

class X11Client {
public:
    X11Client() : c(xcb_connect(nullptr, nullptr)) {}
    ~X11Client() { xcb_disconnect(c); }

    template <class T> static std::unique_ptr<T, decltype(&std::free)> Own(T* reply) {
        return {reply, &std::free};
    }
    xcb_atom_t Atom(const char* name) {
        const auto length = static_cast<std::uint16_t>(std::strlen(name));
        return Own(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, length, name), nullptr))->atom;
    }
    QByteArray Bytes(xcb_window_t w, xcb_atom_t property) {
        const auto r = Own(xcb_get_property_reply(
            c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
            nullptr));
        return r ? QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())),
                              xcb_get_property_value_length(r.get()))
                 : QByteArray();
    }
    std::vector<std::uint32_t> Cardinals(xcb_window_t w, const char* property) {
        const QByteArray bytes = Bytes(w, Atom(property));
        const auto* values = reinterpret_cast<const std::uint32_t*>(bytes.constData());
        return {values, values + bytes.size() / 4};
    }
    void Set32(xcb_window_t w, const char* property, xcb_atom_t type, std::vector<uint32_t> v) {
        xcb_change_property(c, 0, w, Atom(property), type, 32, uint32_t(v.size()), v.data());
        Sync();
    }
    QString Caption(xcb_window_t w) { return QString::fromUtf8(Bytes(w, Atom("_NET_WM_NAME"))); }
    QString Class(xcb_window_t w) {
        return QString::fromUtf8(Bytes(w, XCB_ATOM_WM_CLASS).split('\0').value(1));
    }
    bool Has(xcb_window_t w, const char* property, xcb_atom_t value) {
        const auto values = Cardinals(w, property);
        return std::find(values.begin(), values.end(), value) != values.end();
    }
    bool HasState(xcb_window_t w, const char* state) {
        return Has(w, "_NET_WM_STATE", Atom(state));
    }
    bool Maximized(xcb_window_t w) {
        return HasState(w, "_NET_WM_STATE_MAXIMIZED_VERT") &&
               HasState(w, "_NET_WM_STATE_MAXIMIZED_HORZ");
    }
    bool Managed(xcb_window_t w) { return Has(root, "_NET_CLIENT_LIST", w); }
    bool WindowManager() { return !Cardinals(root, "_NET_SUPPORTING_WM_CHECK").empty(); }
    // The client area on the screen, without the window manager's frame.
    QRect Bounds(xcb_window_t w) {
        const auto at =
            Own(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), 0));
        const auto size = Own(xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
        return QRect(at->dst_x, at->dst_y, size->width, size->height);
    }
    // The program's main windows that the window manager shows.
    std::vector<xcb_window_t> Forms() {
        std::vector<xcb_window_t> forms;
        for (const xcb_window_t w : Cardinals(root, "_NET_CLIENT_LIST"))
            if (Class(w) == QLatin1String("ThunderRT6FormDC"))
                forms.push_back(w);
        return forms;
    }

    // A window with a caption (_NET_WM_NAME, or WM_NAME alone) and WM_CLASS.
    xcb_window_t Make(const QByteArray& caption, const QByteArray& className, bool mapped = true,
                      bool netWmName = true) {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, 0, w, root, 10, 10, 200, 100, 0, 1, 0, 0, nullptr);
        xcb_change_property(c, 0, w, Atom(netWmName ? "_NET_WM_NAME" : "WM_NAME"),
                            Atom(netWmName ? "UTF8_STRING" : "STRING"), 8, caption.size(),
                            caption.data());
        const QByteArray wmClass = QByteArray("orvane", 7) + className + '\0';
        xcb_change_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(),
                            wmClass.data());
        if (mapped)
            xcb_map_window(c, w);
        Sync();
        return w;
    }
    // Every request sent has reached the server.
    void Sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    // Runs an xdotool command on the window, then types the keys ("alt+f") as a person would.
    static bool Xdotool(const QString& command, xcb_window_t w, const QString& keys = {}) {
        return QProcess::execute("xdotool", {command, "--sync", QString::number(w)}) == 0 &&
               (keys.isEmpty() ||
                QProcess::execute("xdotool", {"key", "--clearmodifiers", keys}) == 0);
    }

    xcb_connection_t* c;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
};
