// The real web view's events, raised against pages of the local test server: when each comes,
// in which order, and with what.

#include "platform/QtWebView.h"
#include "support/ShownWebView.h"
#include "support/TestServer.h"
#include "support/ViewInput.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <csignal>

using platform::QtWebView;

namespace {
constexpr int LoadTimeout = 15000;
}

// Receives the addresses the view hands to the desktop.
class DesktopUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened << url; }
};

class TstWebViewEvents : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    std::unique_ptr<ShownWebView> Shown;
    QWidget* Window = nullptr;
    QtWebView* View = nullptr;
    WebViewRecorder* Recorder = nullptr;

    QString Address(const QString& path) const { return Server.Url(path).toString(); }

    // Navigates and waits for the load to end; true when it did.
    bool Load(const QString& address) { return Shown->Load(address, LoadTimeout); }

    // A new window and view, with no document and no history. Tests share one view otherwise:
    // each new view starts a renderer process of its own, which takes seconds here.
    void Fresh() {
        Shown = std::make_unique<ShownWebView>();
        Window = Shown->Window.get();
        View = Shown->View;
        Recorder = Shown->Recorder;
    }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        Fresh();
    }

    void init() { Recorder->Clear(); }

    void cleanupTestCase() { Shown.reset(); }

    void titleIsUnknownBeforeAnyDocument() {
        Fresh();
        QCOMPARE(View->DocumentTitle(), std::nullopt);
    }

    void titleIsTheDocumentsOwn_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("with a title") << "/title"
                                      << "Page avec titre";
        QTest::newRow("without a title: empty, not the address") << "/notitle"
                                                                 << "";
        QTest::newRow("title set by a script") << "/opener"
                                               << "opener:non";
        QTest::newRow("not found page") << "/nowhere"
                                        << "Introuvable";
        // Of a title of megabytes, only its beginning crosses over from the page.
        QTest::newRow("title of 20 million characters")
            << "/longtitle" << QString(QtWebView::TitleReadMax, u'x');
        const QString smile = QString::fromUtf16(u"\U0001F600");
        QTest::newRow("beginning counted in characters")
            << "/echo/" + smile.repeated(3000)
            << "/echo/" + smile.repeated(QtWebView::TitleReadMax - 6);
    }
    void titleIsTheDocumentsOwn() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QVERIFY(Load(Address(path)));
        QCOMPARE(View->DocumentTitle(), std::optional<QString>(title));
    }

    void titleCanBeReadWhenNavigateCompleteComes() {
        std::optional<QString> seen;
        QObject listening; // ends the connection with the test
        connect(View, &platform::WebView::NavigateComplete, &listening,
                [this, &seen] { seen = View->DocumentTitle(); });
        QVERIFY(Load(Address("/title")));
        QCOMPARE(seen, std::optional<QString>("Page avec titre"));
        QVERIFY(Load(Address("/notitle")));
        QCOMPARE(seen, std::optional<QString>(""));
    }

    void loadEventsComeInOrder() {
        QVERIFY(Load(Address("/title")));
        const QStringList events = Recorder->Events;
        QCOMPARE(events.first(), "DownloadBegin");
        QCOMPARE(events.mid(events.size() - 4),
                 QStringList({"NavigateComplete", "DocumentComplete", "DownloadComplete",
                              "StatusTextChange(Terminé)"}));
        QCOMPARE(Recorder->Count("DownloadBegin"), 1);
        QCOMPARE(Recorder->Count("NavigateComplete"), 1);
        QCOMPARE(Recorder->Count("DocumentComplete"), 1);
    }

    void progressRunsFromZeroToTheMaximumOf100() {
        QVERIFY(Load(Address("/slow?ms=300")));
        QList<int> values;
        for (const QString& event : Recorder->Events) {
            if (event.startsWith("ProgressChange(")) {
                const QStringList args = event.mid(15).chopped(1).split(',');
                QCOMPARE(args.value(1), "100");
                values << args.value(0).toInt();
            }
        }
        QVERIFY2(values.size() >= 2, qPrintable(Recorder->Events.join(' ')));
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        QVERIFY(values.first() >= 0);
        QCOMPARE(values.last(), 100);
        // Progress belongs to the load: none after its end.
        QVERIFY(Recorder->Events.indexOf("ProgressChange(100,100)") <
                Recorder->Events.indexOf("NavigateComplete"));
    }

    void addressWithOrWithoutScheme_data() {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("http://127.0.0.1") << "http://127.0.0.1:%1";
        QTest::newRow("127.0.0.1 without scheme") << "127.0.0.1:%1";
        QTest::newRow("localhost without scheme") << "localhost:%1";
    }
    void addressWithOrWithoutScheme() {
        QFETCH(QString, prefix);
        const QString path = "/echo/" + QString(QTest::currentDataTag()).section(' ', 0, 0);
        QVERIFY(Load(prefix.arg(Server.Port()) + path));
        QCOMPARE(View->DocumentTitle(), std::optional<QString>(path));
        QVERIFY(Server.Paths().contains(path));
    }

    void addressToUrlKeepsFullAddresses_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");
        QTest::newRow("http") << "http://example.org/a?b=c#d"
                              << "http://example.org/a?b=c#d";
        QTest::newRow("about") << "about:blank"
                               << "about:blank";
        QTest::newRow("mailto") << "mailto:compta@example.org"
                                << "mailto:compta@example.org";
        QTest::newRow("host and port") << "localhost:8080/x"
                                       << "http://localhost:8080/x";
        QTest::newRow("address and port") << "127.0.0.1:8080/x"
                                          << "http://127.0.0.1:8080/x";
        QTest::newRow("bare host") << "www.example.org"
                                   << "http://www.example.org";
    }
    void addressToUrlKeepsFullAddresses() {
        QFETCH(QString, address);
        QFETCH(QString, url);
        QCOMPARE(QtWebView::AddressToUrl(address), QUrl(url));
    }

    void backWithNoHistoryLeavesTheViewUsable() {
        Fresh();
        View->GoBack();
        View->GoForward();
        QTest::qWait(200);
        QVERIFY(Load(Address("/title")));
        View->GoBack(); // one page: still no history to go back to
        QTest::qWait(200);
        QVERIFY(Load(Address("/echo/after")));
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("/echo/after"));
    }

    void backAndForwardFollowHistory() {
        QVERIFY(Load(Address("/echo/one")));
        QVERIFY(Load(Address("/echo/two")));
        Recorder->Clear();
        View->GoBack();
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), std::optional<QString>("/echo/one"),
                                  LoadTimeout);
        View->GoForward();
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), std::optional<QString>("/echo/two"),
                                  LoadTimeout);
    }

    void refreshLoadsAgain() {
        QVERIFY(Load(Address("/echo/again")));
        const int before = int(Server.Paths().count("/echo/again"));
        Recorder->Clear();
        View->Refresh();
        QTRY_VERIFY_WITH_TIMEOUT(Recorder->Count("DownloadComplete") == 1, LoadTimeout);
        QCOMPARE(Server.Paths().count("/echo/again"), before + 1);
    }

    void stopEndsTheLoad() {
        Recorder->Clear();
        View->Navigate(Address("/slow?ms=5000"));
        QTRY_VERIFY_WITH_TIMEOUT(Server.Paths().contains("/slow?ms=5000"), LoadTimeout);
        View->Stop();
        QTRY_VERIFY_WITH_TIMEOUT(Recorder->Count("DownloadComplete") == 1, 3000);
        QCOMPARE(Recorder->StatusTexts().last(), "Chargement arrêté");
        QVERIFY(Load(Address("/echo/later")));
    }

    void hoveredLinkIsTheStatusText() {
        QVERIFY(Load(Address("/links")));
        Recorder->Clear();
        viewinput::Hover(View, viewinput::Centre(testserver::Link::TargetBlank));
        QTRY_VERIFY_WITH_TIMEOUT(Recorder->StatusTexts().contains(Address("/title")), 5000);
        viewinput::Hover(View, QPoint(700, 500));
        QTRY_COMPARE_WITH_TIMEOUT(Recorder->StatusTexts().last(), QString(), 5000);
    }

    void mailtoGoesToTheDesktop_data() {
        QTest::addColumn<bool>("click");
        QTest::newRow("asked by the program") << false;
        QTest::newRow("clicked in the page") << true;
    }
    void mailtoGoesToTheDesktop() {
        QFETCH(bool, click);
        DesktopUrls desktop;
        QDesktopServices::setUrlHandler("mailto", &desktop, "Open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("mailto"); });
        QVERIFY(Load(Address("/links")));
        if (click) {
            viewinput::Click(View, viewinput::Centre(testserver::Link::Mailto));
        } else {
            View->Navigate("mailto:compta@example.org");
        }
        QTRY_COMPARE_WITH_TIMEOUT(desktop.Opened.size(), 1, 5000);
        QCOMPARE(desktop.Opened.first(), QUrl("mailto:compta@example.org"));
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Liens"));
        QVERIFY(Load(Address("/echo/still")));
    }

    // Until the user acts, a notice in place of the page's last image says that the page stopped
    // and how to reload it; the status bar says it too, and nothing follows it there.
    void crashedRendererIsShownUntilReloaded_data() {
        QTest::addColumn<int>("signal"); // 0: the engine's own crash address
        QTest::newRow("chrome://crash") << 0;
        QTest::newRow("renderer killed") << int(SIGKILL);
        QTest::newRow("renderer terminated") << int(SIGTERM);
    }
    void crashedRendererIsShownUntilReloaded() {
        QFETCH(int, signal);
        QVERIFY(Load(Address("/title")));
        Recorder->Clear();
        if (signal == 0) {
            View->Navigate("chrome://crash");
        } else {
            QVERIFY(View->RendererPid() > 0);
            QCOMPARE(::kill(pid_t(View->RendererPid()), signal), 0);
        }
        auto* reload = View->findChild<QPushButton*>();
        QVERIFY(reload != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(reload->isVisible(), LoadTimeout);
        QCOMPARE(reload->parentWidget()->geometry(), View->rect());
        const QString said = View->findChild<QLabel*>()->text();
        QVERIFY2(said.contains("brutalement") && said.contains("Actualiser"), qPrintable(said));
        QCOMPARE(Recorder->Events, QStringList("StatusTextChange(" + said + ")"));

        reload->click();
        QTRY_COMPARE_WITH_TIMEOUT(Recorder->Count("DownloadComplete"), 1, LoadTimeout);
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Page avec titre"));
        QVERIFY(!reload->isVisible());
        QCOMPARE(Recorder->StatusTexts().last(), "Terminé");
    }

    void setFocusGivesTheViewTheKeyboard() {
        QVERIFY(Load(Address("/title")));
        auto* other = new QWidget(Window);
        other->setFocusPolicy(Qt::StrongFocus);
        other->show();
        Window->activateWindow();
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        View->SetFocus();
        QTRY_VERIFY(View->focusWidget() != nullptr && View->isAncestorOf(View->focusWidget()));
    }
};

QTEST_MAIN(TstWebViewEvents)
#include "tst_webviewevents.moc"
