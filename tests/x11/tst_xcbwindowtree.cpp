// The X11 window tree and the earlier-instance search on real windows, with and without a
// window manager (openbox, started here).
#include "app/FindWindowLike.h"
#include "platform/XcbWindowTree.h"

#include <QProcess>
#include <QTest>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using platform::Hwnd;

namespace {

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <class T> Reply<T> Own(T* reply) {
    return Reply<T>(reply, &std::free);
}

const QByteArray Caption = "Navigateur Ulmeco";
const QByteArray Class = "ThunderRT6FormDC";

class TestDisplay {
public:
    TestDisplay() : connection(xcb_connect(nullptr, nullptr)) {
        screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    }
    ~TestDisplay() { xcb_disconnect(connection); }

    xcb_atom_t Atom(const char* name) {
        const auto reply = Own(xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : XCB_NONE;
    }
    void SetText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                 const QByteArray& bytes) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<std::uint32_t>(bytes.size()), bytes.constData());
    }
    void Set32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
               const std::vector<std::uint32_t>& values) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 32,
                            static_cast<std::uint32_t>(values.size()), values.data());
        xcb_flush(connection);
    }
    std::vector<std::uint32_t> Get32(xcb_window_t window, xcb_atom_t property) {
        const auto reply = Own(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr));
        if (!reply || reply->format != 32)
            return {};
        std::vector<std::uint32_t> values(
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4);
        std::memcpy(values.data(), xcb_get_property_value(reply.get()), values.size() * 4);
        return values;
    }

    // A window with a caption (_NET_WM_NAME, or WM_NAME alone) and WM_CLASS.
    xcb_window_t Make(const QByteArray& caption, const QByteArray& className, bool mapped = true,
                      xcb_window_t parent = XCB_NONE, bool netWmName = true) {
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window,
                          parent == XCB_NONE ? screen->root : parent, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        if (netWmName)
            SetText(window, Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), caption);
        else
            SetText(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, caption);
        SetText(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                QByteArray("orvane") + '\0' + className + '\0');
        if (mapped)
            xcb_map_window(connection, window);
        xcb_flush(connection);
        created.push_back(window);
        return window;
    }
    void DestroyAll() {
        for (const xcb_window_t window : created)
            xcb_destroy_window(connection, window);
        created.clear();
        xcb_aux_sync();
    }
    void xcb_aux_sync() {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    bool IsManaged(xcb_window_t window) {
        const auto clients = Get32(screen->root, Atom("_NET_CLIENT_LIST"));
        return std::find(clients.begin(), clients.end(), window) != clients.end();
    }
    bool IsViewable(xcb_window_t window) {
        const auto reply = Own(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, window), nullptr));
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    xcb_window_t Focus() {
        const auto reply =
            Own(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        return reply ? reply->focus : XCB_NONE;
    }

    xcb_connection_t* connection;
    xcb_screen_t* screen = nullptr;
    std::vector<xcb_window_t> created;
};

// openbox on the test's display for the life of the object.
class Openbox {
public:
    explicit Openbox(TestDisplay& display) : display_(display) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        const xcb_atom_t check = display_.Atom("_NET_SUPPORTING_WM_CHECK");
        running_ = process_.waitForStarted() && QTest::qWaitFor([&] {
                       const auto root = display_.Get32(display_.screen->root, check);
                       return !root.empty() && display_.Get32(root[0], check) == root;
                   });
        // openbox names its check window before it takes over the root: it is ready once it
        // manages a window mapped after that.
        for (int attempt = 0; running_ && attempt < 20; ++attempt) {
            const xcb_window_t probe = display_.Make("sonde", "sonde");
            const bool managed = QTest::qWaitFor([&] { return display_.IsManaged(probe); }, 250);
            display_.DestroyAll();
            if (managed)
                return;
        }
        running_ = false;
    }
    ~Openbox() {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished();
    }
    bool Running() const { return running_; }

private:
    TestDisplay& display_;
    QProcess process_;
    bool running_ = false;
};

} // namespace

class TestXcbWindowTree : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDisplay> display;
    std::unique_ptr<Openbox> openbox;

    // Windows the window manager has taken in hand (immediately true without one).
    bool Managed(const std::vector<xcb_window_t>& windows) {
        if (!openbox)
            return true;
        return QTest::qWaitFor([&] {
            return std::all_of(windows.begin(), windows.end(),
                               [&](xcb_window_t w) { return display->IsManaged(w); });
        });
    }
    Hwnd Find(platform::WindowTree& tree) {
        return BrowserMod1::FindWindowLike(tree, 0, "*" + QString::fromLatin1(Caption),
                                           QString::fromLatin1(Class));
    }

private slots:
    void initTestCase() {
        display = std::make_unique<TestDisplay>();
        QVERIFY(xcb_connection_has_error(display->connection) == 0);
    }
    void init() {
        QFETCH_GLOBAL(bool, windowManager);
        if (windowManager) {
            openbox = std::make_unique<Openbox>(*display);
            QVERIFY(openbox->Running());
        }
    }
    void cleanup() {
        display->DestroyAll();
        openbox.reset();
    }
    void initTestCase_data() {
        QTest::addColumn<bool>("windowManager");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }

    void lastMatchInStackingOrderWins() {
        // Near misses first, lowest in the stacking order: they would win if they matched.
        const std::vector<xcb_window_t> misses{
            display->Make(Caption + " ", Class), display->Make("navigateur ulmeco", Class),
            display->Make(Caption, "ThunderRT6FormDc"), display->Make(Caption, "ThunderRT6Form")};
        const xcb_window_t lower = display->Make("Accueil - " + Caption, Class);
        display->Make("Autre", "Autre");
        const xcb_window_t upper = display->Make(Caption, Class);
        QVERIFY(Managed(misses));
        QVERIFY(Managed({lower, upper}));

        platform::XcbWindowTree tree;
        QVERIFY(tree.IsConnected());
        QCOMPARE(Find(tree), lower);

        // Bring the lower one to the top: the other one is now the last match.
        QVERIFY(tree.SetForegroundWindow(lower));
        QVERIFY(QTest::qWaitFor([&] { return Find(tree) == upper; }));
        if (openbox) {
            const xcb_atom_t active = display->Atom("_NET_ACTIVE_WINDOW");
            QCOMPARE(display->Get32(display->screen->root, active),
                     std::vector<std::uint32_t>{lower});
        } else {
            QCOMPARE(display->Focus(), lower);
        }
    }

    void childNeverHiddenYes() {
        const xcb_window_t parent = display->Make("Conteneur", "Autre");
        display->Make(Caption, Class, true, parent);
        QVERIFY(Managed({parent}));
        platform::XcbWindowTree tree;
        QCOMPARE(Find(tree), Hwnd(0));
        QVERIFY(!BrowserMod1::ActivatePreviousInstance(tree));

        const xcb_window_t hidden = display->Make("Cach\xc3\xa9 - " + Caption, Class, false);
        display->xcb_aux_sync();
        QCOMPARE(Find(tree), hidden);
        QVERIFY(BrowserMod1::ActivatePreviousInstance(tree));
        display->xcb_aux_sync();
        QVERIFY(!display->IsViewable(hidden)); // brought forward, not shown
    }

    void walkCoversWindowsTopmostFirst() {
        const xcb_window_t a = display->Make("a", "x");
        const xcb_window_t b = display->Make("b", "x");
        const xcb_window_t c = display->Make("c", "x");
        QVERIFY(Managed({a, b, c}));
        platform::XcbWindowTree tree;
        std::vector<Hwnd> walk;
        for (Hwnd w = tree.GetWindow(tree.GetDesktopWindow(), platform::GW_CHILD); w != 0;
             w = tree.GetWindow(w, platform::GW_HWNDNEXT)) {
            if (w == a || w == b || w == c)
                walk.push_back(w);
        }
        QCOMPARE(walk, (std::vector<Hwnd>{c, b, a}));
        // A walk may also start from any window it has not listed yet.
        platform::XcbWindowTree fresh;
        QCOMPARE(fresh.GetWindow(b, platform::GW_HWNDNEXT), a);
    }

    void minimisedWindowIsRestoredAndActivated() {
        const xcb_window_t other = display->Make("Autre", "Autre");
        const xcb_window_t window = display->Make("Page - " + Caption, Class);
        QVERIFY(Managed({other, window}));
        platform::XcbWindowTree tree;
        const xcb_atom_t wmState = display->Atom("WM_STATE");
        if (openbox) {
            // Iconify the way a client asks its manager to.
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window;
            event.type = display->Atom("WM_CHANGE_STATE");
            event.data.data32[0] = 3;
            xcb_send_event(display->connection, 0, display->screen->root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
            xcb_flush(display->connection);
        } else {
            xcb_unmap_window(display->connection, window);
            display->Set32(window, wmState, wmState, {3, XCB_NONE});
        }
        QVERIFY(QTest::qWaitFor([&] { return tree.IsIconic(window); }));
        QVERIFY(QTest::qWaitFor([&] { return !display->IsViewable(window); }));

        QVERIFY(BrowserMod1::ActivatePreviousInstance(tree));
        QVERIFY(QTest::qWaitFor([&] { return display->IsViewable(window); }));
        QVERIFY(QTest::qWaitFor([&] { return !tree.IsIconic(window); }));
        if (openbox) {
            const xcb_atom_t active = display->Atom("_NET_ACTIVE_WINDOW");
            QVERIFY(QTest::qWaitFor([&] {
                return display->Get32(display->screen->root, active) ==
                       std::vector<std::uint32_t>{window};
            }));
        } else {
            QCOMPARE(display->Get32(window, wmState).at(0), 1u);
            QCOMPARE(display->Focus(), window);
        }
    }

    void hiddenStateCountsAsIconic() {
        const xcb_window_t window = display->Make("x", "y", false);
        display->Set32(
            window, display->Atom("_NET_WM_STATE"), XCB_ATOM_ATOM,
            {display->Atom("_NET_WM_STATE_ABOVE"), display->Atom("_NET_WM_STATE_HIDDEN")});
        display->xcb_aux_sync();
        platform::XcbWindowTree tree;
        QVERIFY(tree.IsIconic(window));
        QVERIFY(!tree.IsIconic(display->Make("z", "y", false)));
    }

    void texts_data() {
        QTest::addColumn<QByteArray>("caption");
        QTest::addColumn<bool>("netWmName");
        QTest::addColumn<QString>("read");
        QTest::newRow("UTF-8 name") << QByteArray("\xc3\x89t\xc3\xa9 - ") + Caption << true
                                    << QString::fromUtf8("\xc3\x89t\xc3\xa9 - ") + Caption;
        QTest::newRow("WM_NAME only, Latin-1")
            << QByteArray("\xc9t\xe9") << false << QString::fromUtf8("\xc3\x89t\xc3\xa9");
        QTest::newRow("254 characters") << QByteArray(254, 'a') << true << QString(254, u'a');
        QTest::newRow("cut to 254 characters")
            << QByteArray(300, 'a') << true << QString(254, u'a');
        // Characters, not the bytes that encode them, count.
        const QByteArray e = "\xc3\xa9";
        QTest::newRow("150 accented characters and the ending")
            << e.repeated(150) + " - " + Caption << true
            << QString(150, u'\u00E9') + " - " + QString::fromLatin1(Caption);
        QTest::newRow("last character in two bytes")
            << QByteArray(253, 'a') + e << true << QString(253, u'a') + u'\u00E9';
        QTest::newRow("cut to 254 characters of four bytes")
            << QByteArray("\xf0\x9f\x98\x80").repeated(300) << true
            << QString::fromUtf16(u"\U0001F600").repeated(254);
        QTest::newRow("no caption") << QByteArray() << true << QString();
    }
    void texts() {
        QFETCH(QByteArray, caption);
        QFETCH(bool, netWmName);
        QFETCH(QString, read);
        const xcb_window_t window =
            display->Make(caption, "Classe \xc3\xa0 part", false, XCB_NONE, netWmName);
        display->xcb_aux_sync();
        platform::XcbWindowTree tree;
        QCOMPARE(tree.GetWindowText(window, 255), read);
        QCOMPARE(tree.GetClassName(window, 255), QString::fromUtf8("Classe \xc3\xa0 part"));
        QCOMPARE(tree.GetClassName(window, 9), QString::fromUtf8("Classe \xc3\xa0"));
        QCOMPARE(tree.GetWindowText(0x7fffffff, 255), QString()); // no such window
    }

    void longCaptionIsNotFound() {
        display->Make(QByteArray(300, 't') + " - " + Caption, Class);
        const xcb_window_t window = display->Make(QByteArray(100, 't') + " - " + Caption, Class);
        QVERIFY(Managed({window}));
        platform::XcbWindowTree tree;
        QCOMPARE(Find(tree), window);
    }
};

QTEST_GUILESS_MAIN(TestXcbWindowTree)
#include "tst_xcbwindowtree.moc"
