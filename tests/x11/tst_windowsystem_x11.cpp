// The program's windows on a real X server, with and without a window manager: the search for
// an earlier instance's window, the class and caption other clients read, the placement, full
// screen and the layout on the screen (CTest also runs that on small screens).
#include "app/FindWindowLike.h"
#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "fakes/FakeWebView.h"
#include "platform/PlacementWindow.h"
#include "platform/Twips.h"
#include "platform/XcbWindowTree.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"
#include "support/ShownWebView.h"
#include "support/X11Client.h"

#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

using Placed = std::array<double, 5>;
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QByteArray kCaption = "Navigateur Ulmeco", kClass = "ThunderRT6FormDC";

std::unique_ptr<platform::WebView> Fake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}
platform::Hwnd Find(platform::WindowTree& tree) {
    return BrowserMod1::FindWindowLike(tree, 0, "*" + kCaption, kClass);
}
Placed PlacementOf(BrowserFrm& frm) {
    platform::PlacementWindow& p = frm.Placement();
    return {double(p.WindowState()), p.Left(), p.Top(), p.Width(), p.Height()};
}
// The shown buttons, progress bar and web view that reach out of the window or cover another.
QString Misplaced(const BrowserFrm& frm) {
    QList<QRect> shown{frm.PBar->geometry(), frm.WB->geometry()};
    for (const QWidget* button : frm.Bouton)
        shown << button->geometry();
    shown.removeIf([](const QRect& r) { return r.isEmpty(); });
    QString misplaced;
    for (const QRect& a : shown)
        for (const QRect& b : shown)
            if (!frm.rect().contains(a) || (&a < &b && a.intersects(b)))
                QDebug(&misplaced) << a << b;
    return misplaced;
}

// A window manager that keeps each window in one tile and refuses every change of its size, as
// tiling ones do; it counts the requests for another width, and the property changes.
struct TilingWindowManager : X11Client {
    QSize tile{683, 480};
    int widthRequests = 0, propertyChanges = 0;
    QSocketNotifier notifier{xcb_get_file_descriptor(c), QSocketNotifier::Read};

    void Place(xcb_window_t window) {
        const std::uint32_t bounds[] = {0, 0, std::uint32_t(tile.width()),
                                        std::uint32_t(tile.height())};
        xcb_configure_window(c, window, 15, bounds); // x, y, width, height
        xcb_flush(c);
    }
    void Poll() {
        while (const auto event = Own(xcb_poll_for_event(c))) {
            const auto& request = *reinterpret_cast<xcb_configure_request_event_t*>(event.get());
            const auto window = reinterpret_cast<xcb_map_request_event_t*>(event.get())->window;
            const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            propertyChanges += (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
            if ((event->response_type & 0x7f) == XCB_MAP_REQUEST) {
                Place(window);
                xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
                xcb_map_window(c, window);
            } else if ((event->response_type & 0x7f) == XCB_CONFIGURE_REQUEST) {
                widthRequests +=
                    (request.value_mask & XCB_CONFIG_WINDOW_WIDTH) && request.width != tile.width();
                xcb_configure_notify_event_t stays{};
                stays.response_type = XCB_CONFIGURE_NOTIFY;
                stays.event = stays.window = request.window;
                stays.width = std::uint16_t(tile.width()),
                stays.height = std::uint16_t(tile.height());
                xcb_send_event(c, 0, request.window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                               reinterpret_cast<const char*>(&stays));
            }
        }
        xcb_flush(c);
    }
    bool Start() {
        QObject::connect(&notifier, &QSocketNotifier::activated, [this] { Poll(); });
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        return !Own(xcb_request_check(
            c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask)));
    }
};

} // namespace

class TestWindowSystemX11 : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    X11Client x;
    std::unique_ptr<Openbox> openbox;

    bool WindowManager(bool on) { // openbox running or not, as the row asks
        if (on != bool(openbox))
            openbox = on ? std::make_unique<Openbox>(x) : nullptr;
        return !on || openbox->Running();
    }
    bool Managed(const std::vector<xcb_window_t>& windows) {
        const auto all = [&] {
            return std::all_of(windows.begin(), windows.end(),
                               [&](auto w) { return x.Managed(w); });
        };
        return !openbox || QTest::qWaitFor(all, kX11WaitMs);
    }
    static void WindowManagerRows() {
        QTest::addColumn<bool>("wm");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }

private slots:
    void cleanup() { x.DestroyMade(); }
    void cleanupTestCase() { openbox.reset(); }

    // Captions and class names are read as characters, up to 254, from windows never shown;
    // such a window is minimized only with _NET_WM_STATE_HIDDEN.
    void texts_data() {
        QTest::addColumn<QByteArray>("caption");
        QTest::addColumn<bool>("netWmName");
        QTest::addColumn<QString>("read");
        const auto row = [](const char* name, QByteArray caption, bool net, QString read) {
            QTest::newRow(name) << caption << net << read;
        };
        const QByteArray e = "\xc3\xa9", smiley = "\xf0\x9f\x98\x80";
        row("UTF-8", "\xc3\x89t\xc3\xa9", true, "Été");
        row("WM_NAME only, Latin-1", "\xc9t\xe9", false, "Été");
        row("cut to 254", QByteArray(300, 'a'), true, QString(254, u'a'));
        row("accents count once", e.repeated(300), true, QString(254, u'é'));
        row("last character in two bytes", QByteArray(253, 'a') + e, true,
            QString(253, u'a') + u'é');
        row("cut to 254 of four bytes", smiley.repeated(300), true, QString(smiley).repeated(254));
        row("no caption", {}, true, {});
    }
    void texts() {
        QFETCH(QByteArray, caption);
        QFETCH(bool, netWmName);
        QFETCH(QString, read);
        const xcb_window_t window = x.Make(caption, "Classe \xc3\xa0 part", false, 0, netWmName);
        platform::XcbWindowTree tree;
        QCOMPARE(tree.GetWindowText(window, 255), read);
        QCOMPARE(tree.GetClassName(window, 255), QStringLiteral("Classe à part"));
        QCOMPARE(tree.GetClassName(window, 9), QStringLiteral("Classe à"));
        QVERIFY(!tree.IsIconic(window));
        x.Set32(window, "_NET_WM_STATE", XCB_ATOM_ATOM, {x.Atom("_NET_WM_STATE_HIDDEN")});
        QVERIFY(tree.IsIconic(window));
    }

    // Of the top-level windows, the last match in the stacking order wins; brought forward, the
    // other match is the last. Near misses lie lowest: they would win if they matched.
    void search_data() { WindowManagerRows(); }
    void search() {
        QFETCH(bool, wm);
        QVERIFY(WindowManager(wm));
        for (const QByteArray& miss : {kCaption + " ", QByteArray("navigateur ulmeco")})
            x.Make(miss, kClass);
        for (const QByteArray miss : {"ThunderRT6FormDc", "ThunderRT6Form"})
            x.Make(kCaption, miss);
        const xcb_window_t lower = x.Make("Accueil - " + kCaption, kClass);
        const xcb_window_t upper = x.Make(kCaption, kClass);
        QVERIFY(Managed(x.made));
        x.Make(kCaption, kClass, true, x.Make("Conteneur", "Autre")); // a child is never found
        platform::XcbWindowTree tree;
        QCOMPARE(Find(tree), lower);
        QVERIFY(tree.SetForegroundWindow(lower));
        QTRY_COMPARE(Find(tree), upper);
        QCOMPARE(wm ? x.Active() : x.Focus(), lower);
    }

    // A minimized window is shown again and activated.
    void minimized_data() { WindowManagerRows(); }
    void minimized() {
        QFETCH(bool, wm);
        QVERIFY(WindowManager(wm));
        const xcb_window_t window = x.Make("Page - " + kCaption, kClass);
        QVERIFY(Managed({window}));
        const xcb_client_message_event_t iconify{XCB_CLIENT_MESSAGE,        32,   0, window,
                                                 x.Atom("WM_CHANGE_STATE"), {{3}}};
        if (wm) // as a client asks its manager
            xcb_send_event(x.c, 0, x.root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                           reinterpret_cast<const char*>(&iconify));
        else
            xcb_unmap_window(x.c, window), x.Set32(window, "WM_STATE", x.Atom("WM_STATE"), {3, 0});
        x.Sync();
        platform::XcbWindowTree tree;
        QTRY_VERIFY(tree.IsIconic(window) && !x.Viewable(window));
        QVERIFY(BrowserMod1::ActivatePreviousInstance(tree));
        QTRY_VERIFY(x.Viewable(window) && !tree.IsIconic(window));
        QTRY_COMPARE(wm ? x.Active() : x.Focus(), window);
    }

    // The caption and class other clients read, before any page and after a navigation, and on
    // a new native window; Qt would read "[*]" as the place of a modified mark.
    void caption_data() {
        QTest::addColumn<std::optional<QString>>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no page yet") << std::optional<QString>() << QString(kCaption);
        for (const QString title : {"Relevés de compte", "Offre [*] 2025", "[*][*]x[*]"})
            QTest::newRow(qPrintable(title)) << std::optional(title) << title + " - " + kCaption;
    }
    void caption() {
        QFETCH(std::optional<QString>, title);
        QFETCH(QString, caption);
        BrowserFrm frm(Fake);
        frm.AppCaption = kCaption;
        frm.UpdateCaption();
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTRY_COMPARE(x.Caption(xcb_window_t(frm.winId())), kCaption);
        static_cast<FakeWebView*>(frm.WB)->Title = title;
        static_cast<FakeWebView*>(frm.WB)->RaiseNavigateComplete();
        QTRY_COMPARE(x.Caption(xcb_window_t(frm.winId())), caption);
        const WId before = frm.winId();
        frm.hide();
        frm.windowHandle()->destroy();
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm) && frm.winId() != before);
        QCOMPARE(x.Class(xcb_window_t(frm.winId())), kClass);
    }

    // With the real engine: the state the placement gives before the window shows makes the
    // one native window; neither the page nor showing makes another.
    void nativeWindowMadeOnce() {
        BrowserFrm frm;
        struct : QObject {
            int made = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                return (made += event->type() == QEvent::WinIdChange), false;
            }
        } counter;
        frm.installEventFilter(&counter);
        frm.setWindowState(Qt::WindowMaximized);
        QSignalSpy loaded(frm.WB, &platform::WebView::DocumentComplete);
        frm.WB->Navigate(QStringLiteral("data:text/html,<title>Accueil</title>"));
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm) && loaded.wait(kX11WaitMs));
        QCOMPARE(counter.made, 1);
        QVERIFY(frm.windowHandle()->windowStates() & Qt::WindowMaximized);
    }

    // Closed in the normal state, the window writes back the placement it was given, whatever
    // frame the window manager puts around it, after full screen and back too; closed while
    // full screen, it keeps the placement from before.
    void placement_data() {
        QTest::addColumn<bool>("wm");
        QTest::addColumn<int>("f11"); // F11 presses before closing
        QTest::newRow("no window manager") << false << 0;
        QTest::newRow("openbox") << true << 0;
        QTest::newRow("openbox, full screen and back") << true << 2;
        QTest::newRow("openbox, closed while full screen") << true << 1;
    }
    void placement() {
        QFETCH(bool, wm);
        QFETCH(int, f11);
        QVERIFY(WindowManager(wm));
        QTemporaryDir dir;
        QFile file(BrowserMod1::IniFileName = dir.filePath("Orvane.ini"));
        const QByteArray stored =
            "[Main]\nWindowState=0\nLeft=3000\nTop=2250\nHeight=9000\nWidth=16500\n";
        QVERIFY(file.open(QIODevice::ReadWrite) && file.write(stored) && file.flush());
        BrowserFrm frm(Fake);
        BrowserMod1::FormPlacement("Main", frm.Placement(), BrowserMod1::RestorePlacement);
        frm.show();
        frm.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frm));
        QTRY_VERIFY(!wm || frm.frameGeometry() != frm.geometry());
        QTRY_COMPARE(PlacementOf(frm), (Placed{0, 3000, 2250, 16500, 9000}));
        const QRect view = frm.WB->geometry();
        for (int press = 1; press <= f11; ++press) {
            QTest::keyClick(frm.WB, Qt::Key_F11);
            QTRY_COMPARE(frm.WB->geometry(), press == 1 ? frm.screen()->geometry() : view);
            QCOMPARE(frm.Bouton[0]->isVisible(), press != 1);
        }
        frm.Tools().LeaveFullScreenToClose();
        BrowserMod1::FormPlacement("Main", frm.Placement(), BrowserMod1::SavePlacement);
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), stored);
        BrowserMod1::IniFileName.clear();
    }

    // A tiling window manager keeps the window narrower than the minimum: it is laid out at the
    // tile's width, and the tile's later changes of height ask for no width again.
    void refusedWideningAskedNoMore() {
        QVERIFY(WindowManager(false));
        TilingWindowManager tiling;
        QVERIFY(tiling.Start());
        BrowserFrm frm(Fake);
        const auto allRequestsSeen = [&] { // once a later one has reached the manager
            const int changes = tiling.propertyChanges;
            frm.setWindowTitle(QString::number(changes));
            return QTest::qWaitFor([&] { return tiling.propertyChanges > changes; }, kX11WaitMs);
        };
        frm.show();
        QTRY_COMPARE(frm.width(), 683);
        QVERIFY(allRequestsSeen());
        const int requests = tiling.widthRequests;
        for (const int height : {500, 520, 540}) {
            tiling.tile.setHeight(height);
            tiling.Place(xcb_window_t(frm.winId()));
            QTRY_COMPARE(frm.height(), height);
        }
        QVERIFY(allRequestsSeen() && requests > 0);
        QCOMPARE(tiling.widthRequests, requests);
        QCOMPARE(frm.width(), 683);
        QCOMPARE(Misplaced(frm), QString());
    }

    // Under openbox, on any screen: each control inside the window, the window on the screen, no
    // size hint wider than it; where the screen holds it, a normal window gets the minimum width.
    void layoutFitsTheScreen_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<float>("storedWidth"); // outer width in twips; 0 for the designed size
        QTest::newRow("first start, maximized") << 2 << 0.f;
        QTest::newRow("designed size") << 0 << 0.f;
        QTest::newRow("stored width below the minimum") << 0 << 9000.f;
    }
    void layoutFitsTheScreen() {
        QFETCH(int, state);
        QFETCH(float, storedWidth);
        QVERIFY(WindowManager(true));
        BrowserFrm frm(Fake);
        frm.Placement().SetWindowState(state);
        if (storedWidth > 0)
            frm.Placement().Move(0, 0, storedWidth, 6000);
        frm.show();
        QTRY_VERIFY(frm.isMaximized() == (state == 2) && frm.isVisible());
        const QRect screen = frm.screen()->availableGeometry();
        const qreal ratio = frm.devicePixelRatioF();
        if (state == 0 &&
            platform::PixelsToTwipsX(screen.width()) >= browser::kMinimumOuterWidth + 600)
            QTRY_COMPARE(frm.FormWidth(), browser::kMinimumOuterWidth);
        const auto laidOut = [&] {
            return x.Bounds(frm.winId()).width() == qRound(frm.width() * ratio);
        };
        QVERIFY(QTest::qWaitFor(laidOut, kX11WaitMs)); // as the X server has it
        QTRY_COMPARE(Misplaced(frm), QString());
        QTRY_VERIFY(frm.frameGeometry().left() >= screen.left() &&
                    frm.frameGeometry().right() <= screen.right());
        QCOMPARE(frm.Twips(frm.WB).Width, frm.FormWidth() - 140);
        const auto hints = x.Cardinals(xcb_window_t(frm.winId()), "WM_NORMAL_HINTS");
        for (const auto& [flags, at] :
             {std::pair{8u | 2u, 3}, {16u, 5}, {32u, 7}}) // size, min, max
            QVERIFY(hints.size() <= 7 || !(hints[0] & flags) ||
                    hints[at] <= screen.width() * ratio);
    }
};

QTEST_MAIN(TestWindowSystemX11)
#include "tst_windowsystem_x11.moc"
