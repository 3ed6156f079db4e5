// The real web view against the local test server: the title it reads and its events, stopping,
// mail links, the new windows pages ask for, the page menu, a renderer that dies; and what it asks
// of the user, answered by the test: where a download goes, credentials, script dialogs, printing.
// The main window on it: Escape, a page's full screen, finding, the zoom held for the next pages.

#include "browser/BrowserFrm.h"
#include "browser/PageTools.h"
#include "platform/Engine.h"
#include "platform/PopupWindow.h"
#include "support/EngineView.h"
#include "support/ModalDialog.h"
#include "support/TestServer.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWindow>
#include <csignal>

using testserver::Link;
using testserver::LinkCentre;
using Title = std::optional<QString>;

namespace {
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
// A page whose script runs once it has loaded: no dialog holds up the load a test waits for.
QString Page(const QString& script) {
    return "data:text/html;charset=utf-8," +
           QUrl::toPercentEncoding("<meta charset=utf-8><script>setTimeout(() => {" + script +
                                   "}, 0)</script>");
}
} // namespace

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
    QTemporaryDir Folder;
    std::unique_ptr<ShownWebView> Shown; // one view: each new one starts a renderer of its own
    platform::QtWebView* View = nullptr;
    QString Proposed, Chosen; // the download's path proposed and the user's answer
    QStringList Asked;        // the credential requests
    std::optional<platform::Credentials> Given;
    std::unique_ptr<BrowserFrm> Frm; // the main window, on a view of its own

    QString MainTitle() const { return Frm->WB->DocumentTitle().value_or(QString()); }
    bool MainLoad(const QString& path) { return ::Load(*Frm->WB, Address(path)); }
    QWidget* MainPage() const { return RenderWidget(Frm->WB); }
    void Activate() { // the main window takes the keys
        Frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frm.get()));
    }

    QString Address(const QString& path) const { return Server.Url(path).toString(); }
    bool Load(const QString& path) { return Shown->Load(Address(path)); }
    QList<platform::PopupWindow*> Popups() const {
        return Shown->Window->findChildren<platform::PopupWindow*>();
    }
    // Loads /links, then moves the pointer off and onto a link until the status text shows the
    // link's address (the page reports changes only): pointer input now reaches the page.
    void LoadLinks() {
        QVERIFY(Load("/links"));
        int moves = 0;
        QVERIFY(UntilPageAnswers(
            [&] { Hover(View, ++moves % 2 ? QPoint(700, 500) : LinkCentre(Link::TargetBlank)); },
            [this] { return Shown->StatusTexts().contains(Address("/title")); }));
    }

private slots:
    void initTestCase() {
        platform::InstallTranslations(*QCoreApplication::instance());
        QVERIFY(Server.Listen());
        platform::WebViewServices services;
        services.ChooseDownloadPath = [this](QWidget*, const QString& proposed) {
            Proposed = proposed;
            return Chosen;
        };
        services.AskCredentials = [this](QWidget*, const QUrl& url, const QString& realm,
                                         const QString& proxy) {
            Asked << url.path() + ' ' + realm + ' ' + proxy;
            return Given;
        };
        Shown = std::make_unique<ShownWebView>(services);
        View = Shown->View;
        Frm = std::make_unique<BrowserFrm>(
            [](QWidget* parent) { return platform::CreateWebView(parent, {}); });
        Frm->show();
    }
    void cleanup() { qDeleteAll(Popups()); }
    void cleanupTestCase() {
        Shown.reset();
        Frm.reset();
    }

    // The title read as NavigateComplete comes and after it, and the events of a load in order.
    void title_data() {
        Table<QStringList>(
            {{"with a title", {"/title", "Page avec titre"}},
             {"without a title: empty, not the address", {"data:text/html,x", ""}},
             {"20 million characters read as the first 2048", {"/longtitle", QString(2048, 'x')}}});
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

    void mailtoGoesToTheDesktop() {
        DesktopUrls desktop;
        QDesktopServices::setUrlHandler("mailto", &desktop, "Open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("mailto"); });
        LoadLinks();
        Click(View, LinkCentre(Link::Mailto));
        QTRY_COMPARE_WITH_TIMEOUT(desktop.Opened, QList<QUrl>{QUrl("mailto:compta@example.org")},
                                  kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
    }

    // NewWindow first; cancelled, nothing opens; else a window captioned with its page's title
    // exactly, whose page keeps its opener and may close it.
    void newWindow_data() { // the link, cancelled, the new window's title
        Table<QVariantList>(
            {{"link with a target", {int(Link::TargetBlank), false, "Page avec titre"}},
             {"window.open keeps the opener, [*] in the caption",
              {int(Link::WindowOpen), false, "opener:oui [*]"}},
             {"cancelled window.open", {int(Link::WindowOpen), true, ""}}});
    }
    void newWindow() {
        QFETCH(QVariantList, row);
        const QString title = row[2].toString();
        Shown->CancelNewWindow = row[1].toBool();
        LoadLinks();
        const qsizetype asked = Server.Paths().size();
        Click(View, LinkCentre(Link(row[0].toInt())));
        QTRY_COMPARE_WITH_TIMEOUT(Shown->Count("NewWindow"), 1, kWaitMs);
        if (Shown->CancelNewWindow) { // a window opens within NewWindow's answer: none is coming
            QVERIFY(Popups().isEmpty());
            QVERIFY(Load("/echo/fence"));
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
        Table<int>({{"chrome://crash", 0}, {"renderer killed", SIGKILL}});
    }
    void rendererCrashRecovered() {
        QFETCH(int, row);
        QVERIFY(Load("/title"));
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

    // Proposed: the download folder, made when missing, else the home folder.
    void download_data() { // made in home, folder proposed, chosen
        Table<QStringList>({{"download folder missing: made", {"", "Downloads", "y"}},
                            {"no folder can be made: home", {"Downloads", "", "y"}},
                            {"refused: nothing written", {"", "Downloads", ""}}});
    }
    void download() {
        QFETCH(QStringList, row);
        QTemporaryDir home;
        const QByteArray homeBefore = qgetenv("HOME");
        const auto restore = qScopeGuard([&] { qputenv("HOME", homeBefore); });
        qputenv("HOME", QFile::encodeName(home.path()));
        QFile made(home.filePath(row[0]));
        QVERIFY(row[0].isEmpty() || made.open(QIODevice::WriteOnly));
        QVERIFY(Load("/title"));
        Chosen = row[2].isEmpty() ? "" : Folder.filePath(QTest::currentDataTag());
        const QStringList before = QDir(Folder.path()).entryList(QDir::Files);
        View->Navigate(Server.Url("/download").toString());
        const QString status = Chosen.isEmpty() ? "Téléchargement de « releve.bin » annulé."
                                                : "Téléchargement terminé : " + Chosen;
        QTRY_VERIFY_WITH_TIMEOUT(Shown->StatusTexts().contains(status), kWaitMs);
        QVERIFY(Chosen.isEmpty() ? QDir(Folder.path()).entryList(QDir::Files) == before
                                 : ReadAll(Chosen) == testserver::DownloadBody());
        const QString folder = QDir(home.path()).filePath(row[1]);
        QCOMPARE(Proposed, QDir(folder).filePath(testserver::DownloadName));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(View->DocumentTitle(), Title("Page avec titre")); // the page stays, usable
        QVERIFY(Load("/echo/apres"));
    }

    // Refused first: once given, the engine keeps the credentials for the session.
    void authentication_data() { Table<bool>({{"refused", false}, {"given", true}}); }
    void authentication() {
        QFETCH(bool, row);
        Asked.clear();
        Given.reset();
        if (row) {
            Given = platform::Credentials{testserver::AuthUser, testserver::AuthPassword};
        }
        QVERIFY(Load("/auth"));
        QCOMPARE(Asked, QStringList({"/auth Ulmeco "}));
        QCOMPARE(View->DocumentTitle(), Title(row ? "Espace membre" : "Refusé"));
    }

    void savePage_data() { // the format chosen, the file typed without its suffix, its content
        Table<QStringList>(
            {{"complete", {"Page web complète (*.html *.htm)", "complete.html", "<title>Page"}},
             {"web archive",
              {"Archive web, fichier unique (*.mhtml)", "archive.mhtml", "MIME-Version"}}});
    }
    void savePage() {
        QFETCH(QStringList, row);
        QVERIFY(Load("/title"));
        WhenShown<QFileDialog>([&](QFileDialog& dialog) {
            QCOMPARE(dialog.nameFilters().size(), 3);
            dialog.selectNameFilter(row[0]);
            dialog.setDirectory(Folder.path());
            auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name != nullptr);
            name->setText(QFileInfo(row[1]).completeBaseName());
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });
        View->ExecWB(platform::OLECMDID_SAVEAS, 0);
        const QString path = Folder.filePath(row[1]);
        QTRY_VERIFY2_WITH_TIMEOUT(Shown->StatusTexts().contains("Page enregistrée : " + path),
                                  qPrintable(Shown->StatusTexts().join('|')), kWaitMs);
        QVERIFY2(ReadAll(path).contains(row[2].toUtf8()), ReadAll(path).left(300).constData());
    }

    void printPreview() {
        QVERIFY(Load("/title"));
        int pages = -1;
        WhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            QVERIFY(QTest::qWaitFor([&] { return preview->pageCount() > 0; }, kWaitMs));
            pages = preview->pageCount();
        });
        View->ExecWB(platform::OLECMDID_PRINTPREVIEW, 0);
        QCOMPARE(pages, 1);
    }

    // French caption, the page's text shown as text, the answer given back to the script.
    void scriptDialog_data() { // script, button pressed, typed, text shown, answer
        const QString prompt = "r = prompt('Votre nom ?', 'M'); document.title = r ?? 'rien'";
        Table<QStringList>(
            {{"alert, markup shown as text",
              {"alert('Solde < 0 & <b>urgent</b>'); document.title = 'lu'", "OK", "",
               "Solde < 0 & <b>urgent</b>", "lu"}},
             {"confirm, Annuler",
              {"document.title = confirm('Supprimer ?')", "Annuler", "", "Supprimer ?", "false"}},
             {"prompt, typed and OK",
              {prompt, "OK", "Dupont-Lévêque", "Votre nom ?", "Dupont-Lévêque"}}});
    }
    void scriptDialog() {
        QFETCH(QStringList, row);
        QString caption, shown;
        WhenShown<QDialog>([&](QDialog& dialog) {
            caption = dialog.windowTitle();
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                if (!label->text().isEmpty() && label->pixmap().isNull()) {
                    QTextDocument read; // as the user reads it, rich text or not
                    Qt::mightBeRichText(label->text()) ? read.setHtml(label->text())
                                                       : read.setPlainText(label->text());
                    shown = read.toPlainText();
                }
            }
            if (auto* edit = dialog.findChild<QLineEdit*>()) {
                edit->setText(row[2]);
            }
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
                if (button->text().remove('&') == row[1]) {
                    return button->click();
                }
            }
        });
        QVERIFY(Shown->Load(Page(row[0])));
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), Title(row[4]), kWaitMs);
        QCOMPARE(caption, "Message de la page");
        QCOMPARE(shown, row[3]);
    }

    // window.print() opens the print command's dialog, modal, in French: one for a burst of
    // requests, and the script goes on once it is answered.
    void pagePrints() {
        QStringList seen;
        WhenShown<QPrintDialog>(
            [&](QPrintDialog& dialog) {
                QStringList buttons;
                for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
                    buttons << button->text().remove('&');
                }
                seen << dialog.windowTitle() + (dialog.isModal() ? " modal " : " ") +
                            QString::number(buttons.contains("Imprimer") +
                                            buttons.contains("Annuler"));
            },
            true);
        QVERIFY(Shown->Load(Page("for (i = 0; i < 10; i++) print(); document.title = 'suite'")));
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), Title("suite"), kWaitMs);
        QCOMPARE(seen, QStringList("Imprimer la page modal 2"));
    }

    // The window keeps Escape for a load; with none, it is the page's. 'a' is pressed until the
    // page echoes it: from then on, keys provably reach the page.
    void escapeReachesIdlePage() {
        Activate();
        QVERIFY(MainLoad("/keys"));
        Frm->WB->SetFocus();
        QTRY_VERIFY_WITH_TIMEOUT(MainPage()->hasFocus(), kWaitMs);
        QVERIFY(UntilPageAnswers([this] { QTest::keyClick(MainPage(), Qt::Key_A); },
                                 [this] { return MainTitle() == "touche:a"; }));
        QTest::keyClick(MainPage(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "touche:Escape", kWaitMs);
    }

    void pageFullScreenUntilEscape() {
        Activate();
        QVERIFY(MainLoad("/fullscreen"));
        const QRect bounds = Frm->geometry(), page = Frm->WB->geometry();
        QVERIFY(UntilPageAnswers(
            [this] { Click(Frm->WB, testserver::LinkCentre(testserver::Link::TargetBlank)); },
            [this] { return Frm->Tools().IsFullScreen(); }));
        QVERIFY(Frm->isFullScreen());
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "plein:oui", kWaitMs);
        QTRY_COMPARE(Frm->WB->geometry(), Frm->rect());
        QTest::keyClick(MainPage(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "plein:non", kWaitMs);
        QVERIFY(!Frm->Tools().IsFullScreen());
        QTRY_COMPARE(Frm->geometry(), bounds);
        QCOMPARE(Frm->WB->geometry(), page);
    }

    void findCounts_data() { // text, case kept, matches in "lune-Lune-lune-LUNE"
        Table<QVariantList>({{"any case", {"lune", false, 4}}, {"case kept", {"lune", true, 2}}});
    }
    void findCounts() {
        QFETCH(QVariantList, row);
        QVERIFY(MainLoad("/echo/lune-Lune-lune-LUNE"));
        std::pair<int, int> found{-1, -1};
        Frm->WB->FindText(row[0].toString(), false, row[1].toBool(),
                          [&found](int active, int matches) {
                              found = {active, matches};
                          });
        QTRY_COMPARE_WITH_TIMEOUT(found, std::make_pair(1, row[2].toInt()), kWaitMs);
    }

    void zoomKeptOnAnotherSite() {
        const auto width = [this] { return MainTitle().section(':', 1).toInt(); }; // in CSS pixels
        Frm->Tools().SetZoom(100);
        QVERIFY(MainLoad("/width"));
        const int plain = width();
        Frm->Tools().SetZoom(150);
        QUrl next = Server.Url("/width?suite");
        next.setHost("localhost");
        QVERIFY(::Load(*Frm->WB, next.toString()));
        QCOMPARE(Frm->WB->ZoomFactor(), 1.5);
        QTRY_VERIFY_WITH_TIMEOUT(plain > 0 && qAbs(width() - qRound(plain / 1.5)) <= 1, kWaitMs);
    }
};

QTEST_MAIN(TestWebView)
#include "tst_webview.moc"
