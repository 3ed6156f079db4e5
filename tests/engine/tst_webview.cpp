// The real web view against the local test server: the title it reads and its events, stopping,
// hovered links, mail links, the new windows pages ask for, the page menu, a renderer that dies.

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
#include <QWindow>
#include <csignal>

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
    QList<platform::PopupWindow*> Popups() const {
        return Shown->Window->findChildren<platform::PopupWindow*>();
    }
    // Loads /links, then moves the pointer off and onto a link until the status text shows the
    // link's address (the page reports changes only): pointer input now reaches the page.
    void LoadLinks() {
        QVERIFY(Shown->Load(Address("/links")));
        int moves = 0;
        QVERIFY(UntilPageAnswers(
            [&] { Hover(View, ++moves % 2 ? QPoint(700, 500) : LinkCentre(Link::TargetBlank)); },
            [this] { return Shown->StatusTexts().contains(Address("/title")); }));
    }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        Shown = std::make_unique<ShownWebView>();
        View = Shown->View;
    }
    void cleanup() { qDeleteAll(Popups()); }
    void cleanupTestCase() { Shown.reset(); }

    // The title read as NavigateComplete comes and after it, and the events of a load in order.
    void title_data() {
        const QString smile = QString::fromUtf16(u"\U0001F600");
        Table<QStringList>(
            {{"with a title", {"/title", "Page avec titre"}},
             {"without a title: empty, not the address", {"data:text/html,x", ""}},
             {"20 million characters read as the first 2048", {"/longtitle", QString(2048, 'x')}},
             {"the first 2048 counted in characters",
              {"/echo/" + smile.repeated(3000), "/echo/" + smile.repeated(2042)}}});
    }
    void title() {
        QFETCH(QStringList, row);
        Title seen;
        QObject listening;
        connect(View, &platform::WebView::NavigateComplete, &listening,
                [&] { seen = View->DocumentTitle(); });
        QVERIFY(Shown->Load(row[0].startsWith('/') ? Address(row[0]) : row[0]));
        QCOMPARE(seen, Title(row[1]));
        QCOMPARE(View->DocumentTitle(), Title(row[1]));
        QCOMPARE(Shown->Events.first(), "DownloadBegin");
        QCOMPARE(Shown->Events.mid(Shown->Events.size() - 4),
                 QStringList({"NavigateComplete", "DocumentComplete", "DownloadComplete",
                              "StatusTextChange(Terminé)"}));
        QCOMPARE(Shown->Count("NavigateComplete"), 1);
    }

    void stopEndsTheLoad() { // /pending never answers: only Stop ends its load
        Shown->Events.clear();
        View->Navigate(Address("/pending"));
        QTRY_VERIFY_WITH_TIMEOUT(Server.Paths().contains("/pending"), kWaitMs);
        View->Stop();
        QTRY_COMPARE_WITH_TIMEOUT(Shown->Count("DownloadComplete"), 1, kWaitMs);
        QCOMPARE(Shown->StatusTexts().last(), "Chargement arrêté");
    }

    void mailtoGoesToTheDesktop_data() {
        Table<bool>({{"asked by the program", false}, {"clicked in the page", true}});
    }
    void mailtoGoesToTheDesktop() {
        QFETCH(bool, row);
        DesktopUrls desktop;
        QDesktopServices::setUrlHandler("mailto", &desktop, "Open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("mailto"); });
        LoadLinks();
        row ? Click(View, LinkCentre(Link::Mailto)) : View->Navigate("mailto:compta@example.org");
        QTRY_COMPARE_WITH_TIMEOUT(desktop.Opened, QList<QUrl>{QUrl("mailto:compta@example.org")},
                                  kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
    }

    // NewWindow first; cancelled, nothing opens; else a window captioned with its page's title
    // exactly, whose page keeps its opener and may close it.
    void newWindow_data() {
        Table<QVariantList>(
            {{"link with a target",
              {int(Link::TargetBlank), int(Qt::LeftButton), false, "Page avec titre"}},
             {"middle click",
              {int(Link::TargetBlank), int(Qt::MiddleButton), false, "Page avec titre"}},
             {"window.open keeps the opener, [*] in the caption",
              {int(Link::WindowOpen), int(Qt::LeftButton), false, "opener:oui [*]"}},
             {"cancelled link", {int(Link::TargetBlank), int(Qt::LeftButton), true, ""}},
             {"cancelled middle click", {int(Link::TargetBlank), int(Qt::MiddleButton), true, ""}},
             {"cancelled window.open", {int(Link::WindowOpen), int(Qt::LeftButton), true, ""}}});
    }
    void newWindow() {
        QFETCH(QVariantList, row);
        const QString title = row[3].toString();
        Shown->CancelNewWindow = row[2].toBool();
        LoadLinks();
        const qsizetype asked = Server.Paths().size();
        Click(View, LinkCentre(Link(row[0].toInt())), Qt::MouseButton(row[1].toInt()));
        QTRY_COMPARE_WITH_TIMEOUT(Shown->Count("NewWindow"), 1, kWaitMs);
        if (Shown->CancelNewWindow) { // a window opens within NewWindow's answer: none is coming
            QVERIFY(Popups().isEmpty());
            QVERIFY(Shown->Load(Address("/echo/fence")));
            QCOMPARE(Server.Paths().mid(asked), QStringList("/echo/fence"));
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, kWaitMs);
        platform::PopupWindow* popup = Popups().first();
        QVERIFY(popup->isVisible() && popup->isWindow());
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowHandle()->title(), title, kWaitMs);
        QCOMPARE(popup->View().DocumentTitle(), Title(title));
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
        popup->View().Navigate("javascript:window.close()");
        QTRY_VERIFY_WITH_TIMEOUT(Popups().isEmpty(), kWaitMs);
    }

    // The page menu's new-window entries open one at the address they name, even where every
    // NewWindow is cancelled; "Enregistrer la page sous…" asks where.
    void menuEntryDoesWhatItSays_data() {
        Table<QStringList>(
            {{"link in a new window",
              {"Ouvrir le lien dans une nouvelle fenêtre", Address("/title")}},
             {"page source", {"Code source de la page", "view-source:" + Address("/links")}},
             {"save the page", {"Enregistrer la page sous…", ""}}});
    }
    void menuEntryDoesWhatItSays() {
        QFETCH(QStringList, row); // the entry, the new window's address (none: no new window)
        Shown->CancelNewWindow = true;
        LoadLinks();
        Hover(View, LinkCentre(Link::WindowOpen)); // another link hovered last
        Click(View, row[1] == Address("/title") ? LinkCentre(Link::TargetBlank) : QPoint(700, 500),
              Qt::RightButton);
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())),
                                 kWaitMs);
        QStringList entries;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isVisible() && !action->isSeparator()) {
                entries << action->text();
                chosen = action->text() == row[0] ? action : chosen;
            }
        }
        QVERIFY2(chosen != nullptr && entries.removeDuplicates() == 0,
                 qPrintable(entries.join('|')));
        QString asked;
        WhenShown<QFileDialog>([&asked](QFileDialog& dialog) { asked = dialog.windowTitle(); });
        menu->close();
        chosen->trigger();
        if (row[1].isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(asked, "Enregistrer la page sous", kWaitMs);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, kWaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(Popups().first()->View().Url(), QUrl(row[1]), kWaitMs);
        }
        QCOMPARE(Shown->Count("NewWindow"), 0);
    }

    // A French notice covers the page and is the status text, alone, until reloaded.
    void rendererCrashRecovered_data() {
        Table<int>({{"chrome://crash", 0},
                    {"renderer killed", SIGKILL},
                    {"renderer terminated", SIGTERM}});
    }
    void rendererCrashRecovered() {
        QFETCH(int, row);
        QVERIFY(Shown->Load(Address("/title")));
        Shown->Events.clear();
        QVERIFY(View->RendererPid() > 0);
        row == 0 ? View->Navigate("chrome://crash") : void(::kill(pid_t(View->RendererPid()), row));
        auto* reload = View->findChild<QPushButton*>();
        QTRY_VERIFY_WITH_TIMEOUT(reload->isVisible(), kWaitMs);
        QCOMPARE(reload->parentWidget()->geometry(), View->rect());
        const QString said = View->findChild<QLabel*>()->text();
        QVERIFY2(said.contains("brutalement") && said.contains("Actualiser"), qPrintable(said));
        QCOMPARE(Shown->Events, QStringList("StatusTextChange(" + said + ")"));
        reload->click();
        QTRY_COMPARE_WITH_TIMEOUT(Shown->Count("DownloadComplete"), 1, kWaitMs);
        QVERIFY(!reload->isVisible());
        QCOMPARE(Shown->StatusTexts().last(), "Terminé");
    }
};

QTEST_MAIN(TestWebView)
#include "tst_webview.moc"
