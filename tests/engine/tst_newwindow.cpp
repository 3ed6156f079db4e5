// New windows asked for by pages (a link with a target, window.open, a middle click): the view
// raises NewWindow first; cancelled, nothing opens; not cancelled, a real window opens whose page
// keeps its opener.

#include "platform/PopupWindow.h"
#include "platform/QtWebView.h"
#include "support/ShownWebView.h"
#include "support/TestServer.h"
#include "support/ViewInput.h"

#include <QStandardPaths>
#include <QTest>
#include <QWindow>

using platform::PopupWindow;
using platform::QtWebView;
using testserver::Link;

namespace {
constexpr int Timeout = 15000;
}

class TstNewWindow : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    std::unique_ptr<ShownWebView> Shown;
    QWidget* Window = nullptr;
    QtWebView* View = nullptr;
    WebViewRecorder* Recorder = nullptr;

    QList<PopupWindow*> Popups() const { return Window->findChildren<PopupWindow*>(); }

    void OpenFrom(Link link, Qt::MouseButton button) {
        QVERIFY(Shown->Load(Server.Url("/links").toString(), Timeout));
        viewinput::Click(View, viewinput::Centre(link), button);
        QTRY_COMPARE_WITH_TIMEOUT(Recorder->Count("NewWindow"), 1, Timeout);
    }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        Shown = std::make_unique<ShownWebView>();
        Window = Shown->Window.get();
        View = Shown->View;
        Recorder = Shown->Recorder;
    }

    void cleanup() { qDeleteAll(Popups()); }

    void cleanupTestCase() { Shown.reset(); }

    void opens_data() {
        QTest::addColumn<Link>("link");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("link with a target")
            << Link::TargetBlank << Qt::LeftButton << "Page avec titre";
        QTest::newRow("window.open")
            << Link::WindowOpenTitle << Qt::LeftButton << "Page avec titre";
        QTest::newRow("middle click") << Link::TargetBlank << Qt::MiddleButton << "Page avec titre";
        QTest::newRow("window.open keeps the opener")
            << Link::WindowOpenOpener << Qt::LeftButton << "opener:oui";
    }

    void opens() {
        QFETCH(Link, link);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, title);
        Recorder->CancelNewWindow = false;
        OpenFrom(link, button);
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, Timeout);
        PopupWindow* popup = Popups().first();
        QVERIFY(popup->isVisible());
        QVERIFY(popup->isWindow());
        QTRY_COMPARE_WITH_TIMEOUT(popup->View().DocumentTitle(), std::optional<QString>(title),
                                  Timeout);
        QCOMPARE(popup->windowTitle(), title);
        // The window that asked stays where it was.
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Liens"));
    }

    // The caption a pop-up window gives the window system (Qt's processed title): the page's
    // title exactly, cut to what other programs read of a caption.
    void popupCaption_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("[*] in the title") << "/echo/Offre [*] 2025"
                                          << "/echo/Offre [*] 2025";
        const QString longPath = "/echo/" + QString(300, u'\u00E9');
        QTest::newRow("long title") << longPath << longPath.left(254);
    }
    void popupCaption() {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        Recorder->CancelNewWindow = false;
        OpenFrom(Link::TargetBlank, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, Timeout);
        PopupWindow* popup = Popups().first();
        QTRY_COMPARE_WITH_TIMEOUT(popup->View().DocumentTitle(),
                                  std::optional<QString>("Page avec titre"), Timeout);
        popup->View().Navigate(Server.Url(path).toString());
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowHandle()->title(), caption, Timeout);
    }

    void cancelledOpensNothing_data() { opens_data(); }

    void cancelledOpensNothing() {
        QFETCH(Link, link);
        QFETCH(Qt::MouseButton, button);
        Recorder->CancelNewWindow = true;
        const QStringList before = Server.Paths();
        OpenFrom(link, button);
        QTest::qWait(500);
        QVERIFY(Popups().isEmpty());
        QCOMPARE(Server.Paths().size(), before.size() + 1); // /links only
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Liens"));
    }

    void scriptClosesItsWindow() {
        Recorder->CancelNewWindow = false;
        OpenFrom(Link::WindowOpenOpener, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, Timeout);
        PopupWindow* popup = Popups().first();
        QTRY_VERIFY_WITH_TIMEOUT(popup->View().DocumentTitle().has_value(), Timeout);
        popup->View().Navigate("javascript:window.close()");
        QTRY_VERIFY_WITH_TIMEOUT(Popups().isEmpty(), Timeout);
    }
};

QTEST_MAIN(TstNewWindow)
#include "tst_newwindow.moc"
