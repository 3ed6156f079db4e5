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
    QByteArray Bytes(xcb_window_t window, xcb_atom_t property) {
        const auto reply = Own(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
            nullptr));
        return reply ? QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                  xcb_get_property_value_length(reply.get()))
                     : QByteArray();
    }
    std::vector<std::uint32_t> Cardinals(xcb_window_t window, const char* property) {
        const QByteArray bytes = Bytes(window, Atom(property));
        const auto* values = reinterpret_cast<const std::uint32_t*>(bytes.constData());
        return {values, values + bytes.size() / 4};
    }
    void Set32(xcb_window_t window, const char* property, xcb_atom_t type,
               std::vector<std::uint32_t> values) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, Atom(property), type, 32,
                            static_cast<std::uint32_t>(values.size()), values.data());
        Sync();
    }
    QString Caption(xcb_window_t window) {
        return QString::fromUtf8(Bytes(window, Atom("_NET_WM_NAME")));
    }
    QString Class(xcb_window_t window) {
        return QString::fromUtf8(Bytes(window, XCB_ATOM_WM_CLASS).split('\0').value(1));
    }
    bool HasState(xcb_window_t window, const char* state) {
        const auto states = Cardinals(window, "_NET_WM_STATE");
        return std::find(states.begin(), states.end(), Atom(state)) != states.end();
    }
    bool Maximized(xcb_window_t window) {
        return HasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") &&
               HasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    }
    xcb_window_t Active() {
        const auto active = Cardinals(root, "_NET_ACTIVE_WINDOW");
        return active.empty() ? 0 : active[0];
    }
    xcb_window_t Focus() {
        return Own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr))->focus;
    }
    bool Managed(xcb_window_t window) {
        const auto clients = Cardinals(root, "_NET_CLIENT_LIST");
        return std::find(clients.begin(), clients.end(), window) != clients.end();
    }
    bool Viewable(xcb_window_t window) {
        const auto a =
            Own(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    // The client area on the screen, without the window manager's frame.
    QRect Bounds(xcb_window_t window) {
        const auto at = Own(xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr));
        const auto size = Own(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
        return at && size ? QRect(at->dst_x, at->dst_y, size->width, size->height) : QRect();
    }
    // The program's main windows that the window manager shows.
    std::vector<xcb_window_t> Forms() {
        std::vector<xcb_window_t> forms;
        for (const xcb_window_t window : Cardinals(root, "_NET_CLIENT_LIST"))
            if (Class(window) == QLatin1String("ThunderRT6FormDC"))
                forms.push_back(window);
        return forms;
    }

    // A window with a caption (_NET_WM_NAME, or WM_NAME alone) and WM_CLASS.
    xcb_window_t Make(const QByteArray& caption, const QByteArray& className, bool mapped = true,
                      xcb_window_t parent = 0, bool netWmName = true) {
        const xcb_window_t w = made.emplace_back(xcb_generate_id(c));
        xcb_create_window(c, 0, w, parent ? parent : root, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, 0, 0, nullptr);
        xcb_change_property(c, 0, w,
                            netWmName ? Atom("_NET_WM_NAME") : xcb_atom_t(XCB_ATOM_WM_NAME),
                            netWmName ? Atom("UTF8_STRING") : xcb_atom_t(XCB_ATOM_STRING), 8,
                            caption.size(), caption.data());
        const QByteArray wmClass = QByteArray("orvane") + '\0' + className + '\0';
        xcb_change_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(),
                            wmClass.data());
        if (mapped)
            xcb_map_window(c, w);
        Sync();
        return w;
    }
    void DestroyMade() {
        for (const xcb_window_t window : made)
            xcb_destroy_window(c, window);
        made.clear();
        Sync();
    }
    // Every request sent has reached the server.
    void Sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    static bool Xdotool(const QString& command, xcb_window_t w, const QString& keys = {}) {
        const QStringList window{QStringLiteral("--sync"), QString::number(w)};
        return QProcess::execute("xdotool", QStringList{command} + window) == 0 &&
               (keys.isEmpty() ||
                QProcess::execute("xdotool", {"key", "--clearmodifiers", keys}) == 0);
    }
    // Activates the window, then types the keys ("alt+f") as a person would.
    static bool PressKeys(xcb_window_t w, const QString& keys) {
        return Xdotool("windowactivate", w, keys);
    }

    xcb_connection_t* c;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::vector<xcb_window_t> made;
};

// openbox on the display for the life of the object.
class Openbox {
public:
    explicit Openbox(X11Client& x) {
        process_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        // openbox names its check window before it takes over the screen: it is ready once it
        // manages a window mapped after that. The half second is a retry period.
        for (int retry = 0; retry < 120 && !running_ && process_.waitForStarted(); ++retry) {
            const xcb_window_t probe = x.Make("sonde", "sonde");
            running_ = QTest::qWaitFor([&] { return x.Managed(probe); }, 500);
            x.DestroyMade();
        }
    }
    ~Openbox() {
        process_.terminate();
        process_.waitForFinished();
    }
    bool Running() const { return running_; }

private:
    QProcess process_;
    bool running_ = false;
};
