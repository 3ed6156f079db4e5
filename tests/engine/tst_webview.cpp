// The real web view against pages of the local test server: its events, the title it reads,
// stopping, the new windows pages ask for, the page menu, mail links, a renderer that dies.

#include "platform/PopupWindow.h"
#include "support/EngineView.h"
#include "support/ModalDialog.h"
#include "support/TestServer.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>
#include <csignal>

using platform::PopupWindow;
using testserver::Link;
using testserver::LinkCentre;
using Title = std::optional<QString>;

class DesktopUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened << url; }
};

class TestWebView : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    std::unique_ptr<ShownWebView> Shown; // one view: each new one starts a renderer of its own
    platform::QtWebView* View = nullptr;

    QString Address(const QString& path) const { return Server.Url(path).toString(); }
    QList<PopupWindow*> Popups() const { return Shown->Window->findChildren<PopupWindow*>(); }
    // Loads /links and waits until the page takes pointer input: the pointer goes on and off a
    // link until the status text follows (the page reports only changes of the link hovered).
    void LoadLinks() {
        QVERIFY(Shown->Load(Address("/links")));
        int moves = 0;
        const auto move = [&] {
            Hover(View, ++moves % 2 ? QPoint(700, 500) : LinkCentre(Link::TargetBlank));
        };
        QVERIFY(UntilPageAnswers(move, [this] {
            return Shown->StatusTexts().contains("") ||
                   Shown->StatusTexts().contains(Address("/title"));
        }));
    }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        Shown = std::make_unique<ShownWebView>();
        View = Shown->View;
    }
    void cleanup() { qDeleteAll(Popups()); }
    void cleanupTestCase() { Shown.reset(); }

    // The title as NavigateComplete comes and after, and the order of the events of a load.
    void title_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title");
        const auto row = [](const char* name, QString a, QString t) {
            QTest::newRow(name) << a << t;
        };
        const QString smile = QString::fromUtf16(u"\U0001F600");
        row("with a title", "/title", "Page avec titre");
        row("without a title: empty, not the address", "data:text/html,<p>x", "");
        row("20 million characters read as the first 2048", "/longtitle", QString(2048, u'x'));
        row("the first 2048 counted in characters", "/echo/" + smile.repeated(3000),
            "/echo/" + smile.repeated(2048 - 6));
    }
    void title() {
        QFETCH(QString, address);
        QFETCH(QString, title);
        Title seen;
        QObject listening;
        connect(View, &platform::WebView::NavigateComplete, &listening,
                [this, &seen] { seen = View->DocumentTitle(); });
        QVERIFY(Shown->Load(address.startsWith('/') ? Address(address) : address));
        QCOMPARE(seen, Title(title));
        QCOMPARE(View->DocumentTitle(), Title(title));
        const QStringList events = Shown->Events;
        QCOMPARE(events.first(), "DownloadBegin");
        QCOMPARE(events.mid(events.size() - 4),
                 QStringList({"NavigateComplete", "DocumentComplete", "DownloadComplete",
                              "StatusTextChange(Terminé)"}));
        QCOMPARE(Shown->Count("NavigateComplete"), 1);
    }

    // /pending never answers: only Stop can end its load.
    void stopEndsTheLoad() {
        Shown->Events.clear();
        View->Navigate(Address("/pending"));
        QTRY_VERIFY_WITH_TIMEOUT(Server.Paths().contains("/pending"), kWaitMs);
        View->Stop();
        QTRY_COMPARE_WITH_TIMEOUT(Shown->Count("DownloadComplete"), 1, kWaitMs);
        QCOMPARE(Shown->StatusTexts().last(), "Chargement arrêté");
        QVERIFY(Shown->Load(Address("/echo/later")));
    }

    void hoveredLinkIsTheStatusText() {
        LoadLinks();
        Hover(View, LinkCentre(Link::TargetBlank));
        QTRY_COMPARE_WITH_TIMEOUT(Shown->StatusTexts().last(), Address("/title"), kWaitMs);
        Hover(View, QPoint(700, 500));
        QTRY_COMPARE_WITH_TIMEOUT(Shown->StatusTexts().last(), QString(), kWaitMs);
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
        LoadLinks();
        if (click) {
            Click(View, LinkCentre(Link::Mailto));
        } else {
            View->Navigate("mailto:compta@example.org");
        }
        QTRY_COMPARE_WITH_TIMEOUT(desktop.Opened, QList<QUrl>{QUrl("mailto:compta@example.org")},
                                  kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
    }

    // NewWindow first; cancelled, nothing opens; else a window with the page's title as its
    // caption, [*] included, whose page keeps its opener and may close it.
    void newWindow_data() {
        QTest::addColumn<Link>("link");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("title"); // of the new window
        const auto row = [](const char* name, Link l, Qt::MouseButton b, bool c, QString t) {
            QTest::newRow(name) << l << b << c << t;
        };
        row("link with a target", Link::TargetBlank, Qt::LeftButton, false, "Page avec titre");
        row("middle click", Link::TargetBlank, Qt::MiddleButton, false, "Page avec titre");
        row("window.open, [*] in the caption", Link::WindowOpenTitle, Qt::LeftButton, false,
            "/echo/Offre [*] 2025");
        row("window.open keeps the opener", Link::WindowOpenOpener, Qt::LeftButton, false,
            "opener:oui");
        row("cancelled link", Link::TargetBlank, Qt::LeftButton, true, "");
        row("cancelled middle click", Link::TargetBlank, Qt::MiddleButton, true, "");
        row("cancelled window.open", Link::WindowOpenTitle, Qt::LeftButton, true, "");
    }
    void newWindow() {
        QFETCH(Link, link);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, cancel);
        QFETCH(QString, title);
        Shown->CancelNewWindow = cancel;
        LoadLinks();
        const qsizetype asked = Server.Paths().size();
        Click(View, LinkCentre(link), button);
        QTRY_COMPARE_WITH_TIMEOUT(Shown->Count("NewWindow"), 1, kWaitMs);
        if (cancel) {
            // A window opens within NewWindow's answer, so none is coming.
            QVERIFY(Popups().isEmpty());
            QVERIFY(Shown->Load(Address("/echo/fence")));
            QCOMPARE(Server.Paths().mid(asked), QStringList("/echo/fence"));
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, kWaitMs);
        PopupWindow* popup = Popups().first();
        QVERIFY(popup->isVisible() && popup->isWindow());
        QTRY_COMPARE_WITH_TIMEOUT(popup->View().DocumentTitle(), Title(title), kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowHandle()->title(), title, kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
        popup->View().Navigate("javascript:window.close()");
        QTRY_VERIFY_WITH_TIMEOUT(Popups().isEmpty(), kWaitMs);
    }

    // The page menu's new-window entries open one at the address they name, even where every
    // NewWindow is cancelled; "Enregistrer la page sous…" asks where.
    void menuEntryDoesWhatItSays_data() {
        QTest::addColumn<QPoint>("place"); // where the menu is asked for
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("opened"); // the new window's address; none: no new window
        const auto row = [](const char* name, QPoint p, QString e, QString o) {
            QTest::newRow(name) << p << e << o;
        };
        row("link in a new window", LinkCentre(Link::TargetBlank),
            "Ouvrir le lien dans une nouvelle fenêtre", Address("/title"));
        row("page source", {700, 500}, "Code source de la page",
            "view-source:" + Address("/links"));
        row("save the page", {700, 500}, "Enregistrer la page sous…", "");
    }
    void menuEntryDoesWhatItSays() {
        QFETCH(QPoint, place);
        QFETCH(QString, entry);
        QFETCH(QString, opened);
        Shown->CancelNewWindow = true;
        LoadLinks();
        Hover(View, LinkCentre(Link::WindowOpenTitle)); // another link hovered last
        Click(View, place, Qt::RightButton);
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr, kWaitMs);
        QStringList entries;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isVisible() && !action->isSeparator()) {
                entries << action->text();
                chosen = action->text() == entry ? action : chosen;
            }
        }
        QVERIFY2(chosen != nullptr, qPrintable(entries.join('|')));
        QCOMPARE(entries.removeDuplicates(), 0);
        QString asked;
        WhenShown<QFileDialog>([&asked](QFileDialog& dialog) { asked = dialog.windowTitle(); });
        menu->close();
        chosen->trigger();
        if (opened.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(asked, "Enregistrer la page sous", kWaitMs);
            QVERIFY(Popups().isEmpty());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, kWaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(Popups().first()->View().Url(), QUrl(opened), kWaitMs);
        }
        QCOMPARE(Shown->Count("NewWindow"), 0);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
    }

    // A notice covers the page until reloaded; the status bar says it too, and nothing after.
    void rendererCrashRecovered_data() {
        QTest::addColumn<int>("signal"); // 0: the engine's own crash address
        QTest::newRow("chrome://crash") << 0;
        QTest::newRow("renderer killed") << int(SIGKILL);
        QTest::newRow("renderer terminated") << int(SIGTERM);
    }
    void rendererCrashRecovered() {
        QFETCH(int, signal);
        QVERIFY(Shown->Load(Address("/title")));
        Shown->Events.clear();
        if (signal == 0) {
            View->Navigate("chrome://crash");
        } else {
            QVERIFY(View->RendererPid() > 0);
            QCOMPARE(::kill(pid_t(View->RendererPid()), signal), 0);
        }
        auto* reload = View->findChild<QPushButton*>();
        QVERIFY(reload != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(reload->isVisible(), kWaitMs);
        QCOMPARE(reload->parentWidget()->geometry(), View->rect());
        const QString said = View->findChild<QLabel*>()->text();
        QVERIFY2(said.contains("brutalement") && said.contains("Actualiser"), qPrintable(said));
        QCOMPARE(Shown->Events, QStringList("StatusTextChange(" + said + ")"));
        reload->click();
        QTRY_COMPARE_WITH_TIMEOUT(Shown->Count("DownloadComplete"), 1, kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Page avec titre"));
        QVERIFY(!reload->isVisible());
        QCOMPARE(Shown->StatusTexts().last(), "Terminé");
    }
};

QTEST_MAIN(TestWebView)
#include "tst_webview.moc"
