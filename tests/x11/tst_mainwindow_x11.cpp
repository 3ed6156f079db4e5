// The main window as other X11 clients see it: its class and its caption, read with xprop, and
// its layout on the screen it is shown on (CTest also runs that on small screens).
#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "fakes/FakeWebView.h"
#include "platform/Twips.h"
#include "support/MainWindowFixture.h"
#include "support/ShownWebView.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>
#include <xcb/xcb.h>

#include <cstdlib>

namespace {

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

QString Xprop(const QWidget& window, const QStringList& properties) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                QStringList{QStringLiteral("-id"), QString::number(window.winId())} + properties);
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0) {
        return QStringLiteral("xprop failed: ") + QString::fromUtf8(xprop.readAllStandardError());
    }
    return QString::fromUtf8(xprop.readAllStandardOutput());
}

// The widths, in device pixels, of the sizes the window gives the window manager in its
// WM_NORMAL_HINTS (the size asked for, the minimum and the maximum it states).
QList<int> HintedWidths(const QWidget& window) {
    QList<int> widths;
    static const QRegularExpression size(QStringLiteral("size: (\\d+) by \\d+"));
    auto match = size.globalMatch(Xprop(window, {QStringLiteral("WM_NORMAL_HINTS")}));
    while (match.hasNext()) {
        widths << match.next().captured(1).toInt();
    }
    return widths;
}

// The window's width in device pixels, as the X server has it.
int ServerWidth(const QWidget& window) {
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"),
                   {QStringLiteral("-id"), QString::number(window.winId())});
    if (!xwininfo.waitForFinished(10000)) {
        return -1;
    }
    static const QRegularExpression width(QStringLiteral("Width: (\\d+)"));
    return width.match(QString::fromUtf8(xwininfo.readAllStandardOutput())).captured(1).toInt();
}

// A window manager that keeps its window in one tile and refuses every request to change its
// size, as tiling window managers do; it counts the requests for another width.
class TilingWindowManager {
public:
    explicit TilingWindowManager(const QRect& tile)
        : tile_(tile), connection_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        xcb_generic_error_t* error = xcb_request_check(
            connection_,
            xcb_change_window_attributes_checked(connection_, root_, XCB_CW_EVENT_MASK, &mask));
        running_ = error == nullptr;
        std::free(error);
        notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                      QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Poll(); });
    }
    ~TilingWindowManager() {
        notifier_.reset();
        xcb_disconnect(connection_);
    }
    bool Running() const { return running_; }
    int WidthRequests = 0;
    int PropertyChanges = 0;

    void Poll() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            Handle(*event);
            std::free(event);
        }
        xcb_flush(connection_);
    }
    // The window manager's own change of the tile's height.
    void SetHeight(xcb_window_t window, int height) {
        tile_.setHeight(height);
        const std::uint32_t value = static_cast<std::uint32_t>(height);
        xcb_configure_window(connection_, window, XCB_CONFIG_WINDOW_HEIGHT, &value);
        xcb_flush(connection_);
    }

private:
    void Handle(const xcb_generic_event_t& event) {
        switch (event.response_type & 0x7f) {
        case XCB_MAP_REQUEST: {
            const auto& map = reinterpret_cast<const xcb_map_request_event_t&>(event);
            const std::uint32_t bounds[] = {static_cast<std::uint32_t>(tile_.x()),
                                            static_cast<std::uint32_t>(tile_.y()),
                                            static_cast<std::uint32_t>(tile_.width()),
                                            static_cast<std::uint32_t>(tile_.height())};
            xcb_configure_window(connection_, map.window,
                                 XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                                     XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                                 bounds);
            const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(connection_, map.window, XCB_CW_EVENT_MASK, &mask);
            xcb_map_window(connection_, map.window);
            break;
        }
        case XCB_CONFIGURE_REQUEST: {
            const auto& request = reinterpret_cast<const xcb_configure_request_event_t&>(event);
            if ((request.value_mask & XCB_CONFIG_WINDOW_WIDTH) && request.width != tile_.width()) {
                ++WidthRequests;
            }
            // Refused: the window is told where it stays.
            xcb_configure_notify_event_t notify{};
            notify.response_type = XCB_CONFIGURE_NOTIFY;
            notify.event = request.window;
            notify.window = request.window;
            notify.x = static_cast<std::int16_t>(tile_.x());
            notify.y = static_cast<std::int16_t>(tile_.y());
            notify.width = static_cast<std::uint16_t>(tile_.width());
            notify.height = static_cast<std::uint16_t>(tile_.height());
            xcb_send_event(connection_, 0, request.window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&notify));
            break;
        }
        case XCB_PROPERTY_NOTIFY:
            ++PropertyChanges;
            break;
        default:
            break;
        }
    }

    QRect tile_;
    xcb_connection_t* connection_;
    xcb_window_t root_ = XCB_NONE;
    bool running_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

class TestMainWindowX11 : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private slots:
    void classAndCaptionSeenFromOutside_data() {
        QTest::addColumn<std::optional<QString>>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no page yet") << std::optional<QString>() << "Navigateur Ulmeco";
        QTest::newRow("page title") << std::optional<QString>(QStringLiteral("Relevés de compte"))
                                    << "Relevés de compte - Navigateur Ulmeco";
        // Qt reads "[*]" in a window title as the place of its modified mark.
        QTest::newRow("[*] in the title")
            << std::optional<QString>(QStringLiteral("Offre [*] 2025"))
            << "Offre [*] 2025 - Navigateur Ulmeco";
        QTest::newRow("[*][*] in the title") << std::optional<QString>(QStringLiteral("[*][*]x[*]"))
                                             << "[*][*]x[*] - Navigateur Ulmeco";
    }
    void classAndCaptionSeenFromOutside() {
        QFETCH(std::optional<QString>, title);
        QFETCH(QString, caption);
        BrowserFrm frm(MakeFake);
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        static_cast<FakeWebView*>(frm.WB)->Title = title;
        frm.UpdateCaption();
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));

        const QString wmClass = Xprop(frm, {QStringLiteral("WM_CLASS")});
        QVERIFY2(wmClass.contains(QStringLiteral(", \"ThunderRT6FormDC\"")), qPrintable(wmClass));

        const QString expected = QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"%1\"").arg(caption);
        QTRY_VERIFY2(Xprop(frm, {QStringLiteral("_NET_WM_NAME")}).trimmed() == expected,
                     qPrintable(Xprop(frm, {QStringLiteral("_NET_WM_NAME")})));
    }

    void captionFollowsNavigation() {
        BrowserFrm frm(MakeFake);
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        frm.UpdateCaption();
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        auto* web = static_cast<FakeWebView*>(frm.WB);
        web->Title = QStringLiteral("Accueil");
        web->RaiseNavigateComplete();
        QTRY_VERIFY2(Xprop(frm, {QStringLiteral("_NET_WM_NAME")})
                         .contains(QStringLiteral("\"Accueil - Navigateur Ulmeco\"")),
                     qPrintable(Xprop(frm, {QStringLiteral("_NET_WM_NAME")})));
    }

    // On any screen, a small one included: every button and the web view inside the window, the
    // window and its close button on the screen, and no size given to the window manager wider
    // than the screen. Where the screen holds it, a normal window is widened to the minimum.
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
        BrowserFrm frm(MakeFake);
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        frm.UpdateCaption();
        frm.Placement().SetWindowState(state);
        if (storedWidth > 0) {
            frm.Placement().Move(0, 0, storedWidth, 6000);
        }
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        if (state == 2) {
            QTRY_VERIFY(frm.isMaximized());
        }
        const QRect screen = frm.screen()->availableGeometry();
        const float screenTwips = static_cast<float>(platform::PixelsToTwipsX(screen.width()));
        if (state == 0 && screenTwips >= browser::kMinimumOuterWidth + 600) {
            QTRY_COMPARE(frm.FormWidth(), browser::kMinimumOuterWidth);
        }
        // The client area Qt lays out is the one the X server shows.
        const qreal ratio = frm.devicePixelRatioF();
        QTRY_COMPARE(ServerWidth(frm), qRound(frm.width() * ratio));
        QTRY_VERIFY2(ControlsMisplaced(frm).isEmpty(), qPrintable(ControlsMisplaced(frm)));
        // Across the screen, the window's frame included (its height may round up by one
        // logical pixel on a scaled screen).
        const auto across = [&screen](const QRect& rect) {
            return !rect.isEmpty() && rect.left() >= screen.left() &&
                   rect.right() <= screen.right();
        };
        QTRY_VERIFY2(across(frm.frameGeometry()),
                     qPrintable(QStringLiteral("frame %1 to %2 on %3 to %4")
                                    .arg(frm.frameGeometry().left())
                                    .arg(frm.frameGeometry().right())
                                    .arg(screen.left())
                                    .arg(screen.right())));
        for (const QWidget* control :
             {static_cast<const QWidget*>(frm.Bouton[0]), static_cast<const QWidget*>(frm.WB)}) {
            const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
            QVERIFY(across(global));
        }
        QCOMPARE(frm.Twips(frm.WB).Width, frm.FormWidth() - 140);
        for (const int width : HintedWidths(frm)) {
            QVERIFY2(width <= qRound(screen.width() * ratio), qPrintable(QString::number(width)));
        }
    }

    // A tiling window manager keeps the window narrower than the minimum width: the window is
    // laid out at the tile's width, and the tile's later size changes ask for no width again.
    void refusedWideningAskedNoMore() {
        TilingWindowManager wm(QRect(0, 0, 683, 480)); // half of a 1366-pixel screen
        QVERIFY(wm.Running());
        BrowserFrm frm(MakeFake);
        // Every request the window has made has reached the window manager once a later one has.
        const auto allRequestsSeen = [&] {
            const int changes = wm.PropertyChanges;
            frm.setWindowTitle(QStringLiteral("Navigateur Ulmeco %1").arg(changes));
            return QTest::qWaitFor([&] { return wm.PropertyChanges > changes; });
        };
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QTRY_COMPARE(frm.width(), 683);
        QVERIFY(allRequestsSeen());
        const int requests = wm.WidthRequests;
        QVERIFY(requests > 0);
        for (const int height : {500, 520, 540}) {
            wm.SetHeight(static_cast<xcb_window_t>(frm.winId()), height);
            QTRY_COMPARE(frm.height(), height);
        }
        QVERIFY(allRequestsSeen());
        QCOMPARE(wm.WidthRequests, requests);
        QCOMPARE(frm.width(), 683);
        QCOMPARE(frm.Twips(frm.WB).Width, frm.FormWidth() - 140);
        QVERIFY2(ControlsMisplaced(frm).isEmpty(), qPrintable(ControlsMisplaced(frm)));
    }

    // A picture of the window at its design size, frame included, for people to look at:
    // written to the file ORVANE_SCREENSHOT names (scripts/screenshot-main), skipped otherwise.
    void screenshot() {
        const QString path = qEnvironmentVariable("ORVANE_SCREENSHOT");
        if (path.isEmpty()) {
            QSKIP("ORVANE_SCREENSHOT names no file");
        }
        BrowserFrm frm;
        frm.AppCaption = QStringLiteral("Navigateur Ulmeco");
        frm.UpdateCaption();
        frm.move(40, 40);
        frm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        QSignalSpy loaded(frm.WB, &platform::WebView::DocumentComplete);
        frm.WB->Navigate(QStringLiteral(
            "data:text/html;charset=utf-8,<html><head><title>Accueil</title></head>"
            "<body style='font-family:sans-serif;margin:24px'><h1>Bienvenue</h1>"
            "<p>Relev%C3%A9s de compte, factures et <a href='http://127.0.0.1/'>messagerie</a>."
            "</p></body></html>"));
        QVERIFY(loaded.wait(30000));
        // A download under way and a link under the pointer.
        frm.WB_ProgressChange(60, 100);
        frm.WB_StatusTextChange(QStringLiteral("http://127.0.0.1:8080/factures.html"));
        // Let the window manager frame the window and everything paint.
        QTRY_VERIFY_WITH_TIMEOUT(frm.frameGeometry() != frm.geometry(), 5000);
        QTest::qWait(1000);
        const QRect frame = frm.frameGeometry();
        const QImage shot = frm.screen()
                                ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                                .toImage();
        QVERIFY(!shot.isNull());
        QVERIFY(shot.save(path));
    }
};

QTEST_MAIN(TestMainWindowX11)
#include "tst_mainwindow_x11.moc"
