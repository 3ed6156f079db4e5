// The program's windows on a real X server, with and without a window manager: the search for
// an earlier instance's window, the class and caption other clients read, the placement and full
// screen, and the layout on the screen shown on (CTest also runs that on small screens).
#include "app/FindWindowLike.h"
#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "fakes/FakeWebView.h"
#include "platform/PlacementWindow.h"
#include "platform/Twips.h"
#include "platform/WindowClass.h"
#include "platform/XcbWindowTree.h"
#include "settings/FormPlacement.h"
#include "settings/Ini.h"
#include "support/Openbox.h"
#include "support/ShownWebView.h"

#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QProgressBar>
#include <QSocketNotifier>
#include <QToolButton>
#include <QTemporaryDir>
#include <QWindow>

using platform::Hwnd;
using Placed = std::array<double, 5>;
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QByteArray kCaption = "Navigateur Ulmeco", kClass = "ThunderRT6FormDC";

std::unique_ptr<platform::WebView> Fake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}
Hwnd Find(platform::WindowTree& tree) {
    return BrowserMod1::FindWindowLike(tree, 0, "*" + kCaption, kClass);
}
Placed PlacementOf(BrowserFrm& frm) {
    platform::PlacementWindow& p = frm.Placement();
    return {double(p.WindowState()), p.Left(), p.Top(), p.Width(), p.Height()};
}
// The toolbar's buttons, the progress bar and the web view that show and reach out of the
// window or cover one another; empty when all lie inside, apart.
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

// A window manager that keeps every window in one tile and refuses each change of its size, as
// tiling window managers do; it counts the requests for another width.
struct TilingWindowManager {
    X11Client x;
    QRect tile;
    int widthRequests = 0, propertyChanges = 0;
    QSocketNotifier notifier{xcb_get_file_descriptor(x.c), QSocketNotifier::Read};

    bool Start() {
        QObject::connect(&notifier, &QSocketNotifier::activated, [this] { Poll(); });
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        return !X11Client::Own(xcb_request_check(
            x.c, xcb_change_window_attributes_checked(x.c, x.root, XCB_CW_EVENT_MASK, &mask)));
    }
    void Place(xcb_window_t window) {
        const std::uint32_t bounds[] = {std::uint32_t(tile.x()), std::uint32_t(tile.y()),
                                        std::uint32_t(tile.width()), std::uint32_t(tile.height())};
        xcb_configure_window(x.c, window,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             bounds);
        xcb_flush(x.c);
    }
    void Poll() {
        while (const auto event = X11Client::Own(xcb_poll_for_event(x.c))) {
            const auto type = event->response_type & 0x7f;
            if (type == XCB_MAP_REQUEST) {
                const xcb_window_t window =
                    reinterpret_cast<xcb_map_request_event_t*>(event.get())->window;
                Place(window);
                const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(x.c, window, XCB_CW_EVENT_MASK, &mask);
                xcb_map_window(x.c, window);
            } else if (type == XCB_CONFIGURE_REQUEST) {
                const auto& request =
                    *reinterpret_cast<xcb_configure_request_event_t*>(event.get());
                widthRequests +=
                    (request.value_mask & XCB_CONFIG_WINDOW_WIDTH) && request.width != tile.width();
                xcb_configure_notify_event_t notify{}; // refused: the window is told where it stays
                notify.response_type = XCB_CONFIGURE_NOTIFY;
                notify.event = notify.window = request.window;
                notify.x = std::int16_t(tile.x()), notify.y = std::int16_t(tile.y());
                notify.width = std::uint16_t(tile.width()),
                notify.height = std::uint16_t(tile.height());
                xcb_send_event(x.c, 0, request.window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                               reinterpret_cast<const char*>(&notify));
            } else if (type == XCB_PROPERTY_NOTIFY) {
                ++propertyChanges;
            }
        }
        xcb_flush(x.c);
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

    // openbox running or not, as the row asks.
    bool WindowManager(bool on) {
        if (on != bool(openbox))
            openbox = on ? std::make_unique<Openbox>(x) : nullptr;
        return !on || openbox->Running();
    }
    bool Managed(const std::vector<xcb_window_t>& windows) {
        return !openbox || QTest::qWaitFor(
                               [&] {
                                   return std::all_of(windows.begin(), windows.end(),
                                                      [&](auto w) { return x.Managed(w); });
                               },
                               kX11WaitMs);
    }
    static void WindowManagerRows() {
        QTest::addColumn<bool>("wm");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }
    // A normal window at known bounds, active, framed by the window manager, where the X server
    // has it.
    bool ShowFramed(BrowserFrm& frm) {
        frm.setGeometry(120, 90, 1100, 620);
        frm.show();
        for (int attempt = 0; attempt < 60 && !QTest::qWaitForWindowActive(&frm, 1000); ++attempt) {
            frm.raise(); // openbox may refuse focus to a window mapped while another had it
            frm.activateWindow();
        }
        return QTest::qWaitFor(
            [&] {
                const QRect frame = frm.frameGeometry();
                return frm.isActiveWindow() && frame != frm.geometry() &&
                       frame.contains(frm.geometry()) &&
                       x.Bounds(xcb_window_t(frm.winId())) == frm.geometry();
            },
            kX11WaitMs);
    }

private slots:
    void cleanup() { x.DestroyMade(); }
    void cleanupTestCase() { openbox.reset(); }

    // Captions and class names are read as characters, up to 254 of them.
    void texts_data() {
        QTest::addColumn<QByteArray>("caption");
        QTest::addColumn<bool>("netWmName");
        QTest::addColumn<QString>("read");
        const auto row = [](const char* name, QByteArray caption, bool net, QString read) {
            QTest::newRow(name) << caption << net << read;
        };
        const QByteArray e = "\xc3\xa9";
        row("UTF-8 name", "\xc3\x89t\xc3\xa9 - " + kCaption, true,
            QString::fromUtf8("\xc3\x89t\xc3\xa9 - " + kCaption));
        row("WM_NAME only, Latin-1", "\xc9t\xe9", false, QString::fromUtf8("\xc3\x89t\xc3\xa9"));
        row("cut to 254 characters", QByteArray(300, 'a'), true, QString(254, u'a'));
        row("150 accented characters and the ending", e.repeated(150) + " - " + kCaption, true,
            QString(150, u'\u00E9') + " - " + kCaption);
        row("last character in two bytes", QByteArray(253, 'a') + e, true,
            QString(253, u'a') + u'\u00E9');
        row("cut to 254 characters of four bytes", QByteArray("\xf0\x9f\x98\x80").repeated(300),
            true, QString::fromUtf16(u"\U0001F600").repeated(254));
        row("no caption", {}, true, {});
    }
    void texts() {
        QFETCH(QByteArray, caption);
        QFETCH(bool, netWmName);
        QFETCH(QString, read);
        const xcb_window_t window = x.Make(caption, "Classe \xc3\xa0 part", false, 0, netWmName);
        platform::XcbWindowTree tree;
        QCOMPARE(tree.GetWindowText(window, 255), read);
        QCOMPARE(tree.GetClassName(window, 255), QString::fromUtf8("Classe \xc3\xa0 part"));
        QCOMPARE(tree.GetClassName(window, 9), QString::fromUtf8("Classe \xc3\xa0"));
    }

    // Among top-level windows only, the last match in the stacking order wins; bringing it
    // forward makes the other one the last.
    void search_data() { WindowManagerRows(); }
    void search() {
        QFETCH(bool, wm);
        QVERIFY(WindowManager(wm));
        const std::vector<xcb_window_t> misses{
            x.Make(kCaption + " ", kClass), x.Make("navigateur ulmeco", kClass),
            x.Make(kCaption, "ThunderRT6FormDc"), x.Make(kCaption, "ThunderRT6Form")};
        const xcb_window_t lower = x.Make("Accueil - " + kCaption, kClass);
        const xcb_window_t upper = x.Make(kCaption, kClass);
        const xcb_window_t parent = x.Make("Conteneur", "Autre");
        x.Make(kCaption, kClass, true, parent);
        QVERIFY(Managed(misses) && Managed({lower, upper, parent}));
        platform::XcbWindowTree tree;
        QCOMPARE(Find(tree), lower);
        QVERIFY(tree.SetForegroundWindow(lower));
        QVERIFY(QTest::qWaitFor([&] { return Find(tree) == upper; }, kX11WaitMs));
        QCOMPARE(wm ? x.Active() : x.Focus(), lower);
    }

    // A minimized window is shown again and activated.
    void minimized_data() { WindowManagerRows(); }
    void minimized() {
        QFETCH(bool, wm);
        QVERIFY(WindowManager(wm));
        const xcb_window_t window = x.Make("Page - " + kCaption, kClass);
        QVERIFY(Managed({window}));
        platform::XcbWindowTree tree;
        if (wm) { // as a client asks its manager to iconify it
            xcb_client_message_event_t event{XCB_CLIENT_MESSAGE,        32, 0, window,
                                             x.Atom("WM_CHANGE_STATE"), {}};
            event.data.data32[0] = 3;
            xcb_send_event(x.c, 0, x.root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
            x.Sync();
        } else {
            xcb_unmap_window(x.c, window);
            x.Set32(window, "WM_STATE", x.Atom("WM_STATE"), {3, 0});
        }
        QVERIFY(QTest::qWaitFor([&] { return tree.IsIconic(window) && !x.Viewable(window); },
                                kX11WaitMs));
        QVERIFY(BrowserMod1::ActivatePreviousInstance(tree));
        QVERIFY(QTest::qWaitFor([&] { return x.Viewable(window) && !tree.IsIconic(window); },
                                kX11WaitMs));
        QVERIFY(
            QTest::qWaitFor([&] { return (wm ? x.Active() : x.Focus()) == window; }, kX11WaitMs));
    }

    // A window never shown is found and brought forward, not shown; _NET_WM_STATE_HIDDEN
    // counts as minimized.
    void hiddenWindowFound() {
        QVERIFY(WindowManager(false));
        const xcb_window_t hidden = x.Make("Cach\xc3\xa9 - " + kCaption, kClass, false);
        platform::XcbWindowTree tree;
        QCOMPARE(Find(tree), hidden);
        QVERIFY(!tree.IsIconic(hidden));
        QVERIFY(BrowserMod1::ActivatePreviousInstance(tree));
        x.Sync();
        QVERIFY(!x.Viewable(hidden));
        x.Set32(hidden, "_NET_WM_STATE", XCB_ATOM_ATOM,
                {x.Atom("_NET_WM_STATE_ABOVE"), x.Atom("_NET_WM_STATE_HIDDEN")});
        QVERIFY(tree.IsIconic(hidden));
    }

    // The caption as other clients read it, before any page and after a navigation; Qt would
    // read "[*]" as the place of a modified mark.
    void caption_data() {
        QTest::addColumn<std::optional<QString>>("title");
        QTest::addColumn<QString>("caption");
        const auto row = [](const char* name, std::optional<QString> title, QString caption) {
            QTest::newRow(name) << title << caption;
        };
        row("no page yet", std::nullopt, kCaption);
        row("page title", "Relevés de compte", "Relevés de compte - " + kCaption);
        row("[*] in the title", "Offre [*] 2025", "Offre [*] 2025 - " + kCaption);
        row("[*][*] in the title", "[*][*]x[*]", "[*][*]x[*] - " + kCaption);
    }
    void caption() {
        QFETCH(std::optional<QString>, title);
        QFETCH(QString, caption);
        BrowserFrm frm(Fake);
        frm.AppCaption = kCaption;
        frm.UpdateCaption();
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        const auto window = xcb_window_t(frm.winId());
        QTRY_COMPARE(x.Caption(window), kCaption);
        QCOMPARE(x.Class(window), kClass);
        static_cast<FakeWebView*>(frm.WB)->Title = title;
        static_cast<FakeWebView*>(frm.WB)->RaiseNavigateComplete();
        QTRY_COMPARE(x.Caption(window), caption);
    }

    // Qt writes its own class on each new native window.
    void classKeptWhenRecreated() {
        struct Recreatable : QWidget {
            using QWidget::destroy;
        } window;
        const QByteArray expected =
            QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit() + '\0' +
            kClass + '\0';
        const QString name = QCoreApplication::applicationName();
        platform::SetWindowClass(&window, kClass.constData());
        QCOMPARE(x.Bytes(xcb_window_t(window.winId()), XCB_ATOM_WM_CLASS), expected);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(x.Bytes(xcb_window_t(window.winId()), XCB_ATOM_WM_CLASS), expected);
        const WId before = window.winId();
        window.hide();
        window.destroy();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.winId() != before);
        QCOMPARE(x.Bytes(xcb_window_t(window.winId()), XCB_ATOM_WM_CLASS), expected);
        QCOMPARE(QCoreApplication::applicationName(), name);
    }

    // With the real engine: the state the placement gives before the window shows makes the
    // one native window, and neither the page nor showing makes another.
    void nativeWindowMadeOnce() {
        BrowserFrm frm;
        int made = 0;
        struct Counter : QObject {
            int& made;
            Counter(int& m) : made(m) {}
            bool eventFilter(QObject*, QEvent* event) override {
                return (made += event->type() == QEvent::WinIdChange), false;
            }
        } counter(made);
        frm.installEventFilter(&counter);
        frm.setWindowState(Qt::WindowMaximized);
        QCOMPARE(made, 1);
        const WId native = frm.winId();
        QSignalSpy loaded(frm.WB, &platform::WebView::DocumentComplete);
        frm.WB->Navigate(QStringLiteral("data:text/html,<title>Accueil</title>"));
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QVERIFY(loaded.wait(kX11WaitMs));
        QCOMPARE(made, 1);
        QCOMPARE(frm.winId(), native);
        QVERIFY(frm.windowHandle()->windowStates() & Qt::WindowMaximized);
    }

    // Closed in the normal state, the window writes back the placement it was given, whatever
    // frame the window manager puts around it.
    void placementRoundTrip_data() { WindowManagerRows(); }
    void placementRoundTrip() {
        QFETCH(bool, wm);
        QVERIFY(WindowManager(wm));
        QTemporaryDir dir;
        BrowserMod1::IniFileName = dir.filePath("Orvane.ini");
        const QByteArray stored =
            "[Main]\nWindowState=0\nLeft=3000\nTop=2250\nHeight=9000\nWidth=16500\n";
        QFile file(BrowserMod1::IniFileName);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.write(stored) == stored.size() &&
                file.flush());
        {
            BrowserFrm frm(Fake);
            BrowserMod1::FormPlacement("Main", frm.Placement(), BrowserMod1::RestorePlacement);
            frm.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frm));
            QTRY_VERIFY(!wm || frm.frameGeometry() != frm.geometry());
            QTRY_COMPARE(PlacementOf(frm), (Placed{0, 3000, 2250, 16500, 9000}));
            BrowserMod1::FormPlacement("Main", frm.Placement(), BrowserMod1::SavePlacement);
        }
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), stored);
        BrowserMod1::IniFileName.clear();
    }

    // Under openbox, F11 fills the screen with the web view and brings the window back; closing
    // while full screen leaves the placement from before to be saved.
    void fullScreen_data() {
        QTest::addColumn<bool>("closing");
        QTest::newRow("F11 and back") << false;
        QTest::newRow("closed while full screen") << true;
    }
    void fullScreen() {
        QFETCH(bool, closing);
        QVERIFY(WindowManager(true));
        BrowserFrm frm(Fake);
        QVERIFY(ShowFramed(frm));
        const QRect bounds = frm.geometry(), view = frm.WB->geometry();
        const Placed before = PlacementOf(frm);
        QTest::keyClick(frm.WB, Qt::Key_F11);
        QTRY_COMPARE_WITH_TIMEOUT(frm.geometry(), frm.screen()->geometry(), kX11WaitMs);
        QTRY_COMPARE(frm.WB->geometry(), frm.rect());
        QVERIFY(!frm.Bouton[0]->isVisible());
        if (closing) {
            frm.Tools().LeaveFullScreenToClose();
            QCOMPARE(PlacementOf(frm), before);
            return;
        }
        QTest::keyClick(frm.WB, Qt::Key_F11);
        QTRY_COMPARE_WITH_TIMEOUT(frm.geometry(), bounds, kX11WaitMs);
        QTRY_COMPARE(frm.WB->geometry(), view);
        QVERIFY(frm.Bouton[0]->isVisible());
    }

    // A tiling window manager keeps the window narrower than the minimum: it is laid out at the
    // tile's width, and the tile's later changes of height ask for no width again.
    void refusedWideningAskedNoMore() {
        QVERIFY(WindowManager(false));
        TilingWindowManager tiling{{}, QRect(0, 0, 683, 480)};
        QVERIFY(tiling.Start());
        BrowserFrm frm(Fake);
        // Every request the window made has reached the window manager once a later one has.
        const auto allRequestsSeen = [&] {
            const int changes = tiling.propertyChanges;
            frm.setWindowTitle(QString::number(changes));
            return QTest::qWaitFor([&] { return tiling.propertyChanges > changes; }, kX11WaitMs);
        };
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTRY_COMPARE(frm.width(), 683);
        QVERIFY(allRequestsSeen());
        const int requests = tiling.widthRequests;
        QVERIFY(requests > 0);
        for (const int height : {500, 520, 540}) {
            tiling.tile.setHeight(height);
            tiling.Place(xcb_window_t(frm.winId()));
            QTRY_COMPARE(frm.height(), height);
        }
        QVERIFY(allRequestsSeen());
        QCOMPARE(tiling.widthRequests, requests);
        QCOMPARE(frm.width(), 683);
        QCOMPARE(Misplaced(frm), QString());
    }

    // Under openbox, on any screen: every control inside the window, the window on the screen,
    // no size hint wider than the screen; where the screen holds it, a normal window is widened
    // to the minimum.
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
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTRY_VERIFY(frm.isMaximized() == (state == 2));
        const QRect screen = frm.screen()->availableGeometry();
        if (state == 0 &&
            platform::PixelsToTwipsX(screen.width()) >= browser::kMinimumOuterWidth + 600)
            QTRY_COMPARE(frm.FormWidth(), browser::kMinimumOuterWidth);
        const qreal ratio = frm.devicePixelRatioF();
        QTRY_COMPARE(x.Bounds(xcb_window_t(frm.winId())).width(), qRound(frm.width() * ratio));
        QTRY_COMPARE(Misplaced(frm), QString());
        const auto across = [&](const QRect& r) {
            return !r.isEmpty() && r.left() >= screen.left() && r.right() <= screen.right();
        };
        QTRY_VERIFY(across(frm.frameGeometry()));
        QVERIFY(across(QRect(frm.Bouton[0]->mapToGlobal(QPoint()), frm.Bouton[0]->size())));
        QCOMPARE(frm.Twips(frm.WB).Width, frm.FormWidth() - 140);
        const auto hints =
            x.Cardinals(xcb_window_t(frm.winId()), "WM_NORMAL_HINTS"); // flags, x, y, width, ...
        for (const auto& [flags, at] : {std::pair{8u | 2u, 3}, {16u, 5}, {32u, 7}})
            QVERIFY(hints.size() <= 7 || !(hints[0] & flags) ||
                    int(hints[at]) <= qRound(screen.width() * ratio));
    }
};

QTEST_MAIN(TestWindowSystemX11)
#include "tst_windowsystem_x11.moc"
