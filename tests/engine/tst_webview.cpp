// The real web view against the local test server: the title it reads and its events, stopping,
// mail links, new windows, the page menu, a renderer that dies, and what it asks of the user
// (download, credentials, script dialogs, printing); the main window's Escape, full screen, find
// and zoom on it.

#include "browser/BrowserFrm.h"
#include "browser/PageTools.h"
#include "platform/Engine.h"
#include "platform/PopupWindow.h"
#include "platform/QtWebView.h"
#include "support/EngineView.h"
#include "support/TestServer.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>
#include <csignal>

using testserver::Link;
using testserver::LinkCentre;
using Title = std::optional<QString>;

namespace {
// Every wait: only a guard against hangs, never a measure of speed.
constexpr int kWaitMs = 60000;

// Navigates and waits for the load to end (DownloadComplete); true when it ended.
bool Load(platform::WebView& view, const QString& address) {
    bool done = false;
    QObject listening; // ends the connection with the load
    QObject::connect(&view, &platform::WebView::DownloadComplete, &listening, [&] { done = true; });
    view.Navigate(address);
    return QTest::qWaitFor([&done] { return done; }, kWaitMs);
}
// The widget the engine draws into and takes input on: the end of the view's focus proxy chain.
QWidget* RenderWidget(QWidget* view) {
    return view->focusProxy() != nullptr ? RenderWidget(view->focusProxy()) : view;
}
// Moves the pointer onto a point of the page, as a user would (the engine needs several moves).
void Hover(QWidget* view, QPoint point) {
    QTest::mouseMove(RenderWidget(view), point - QPoint(3, 3));
    QTest::mouseMove(RenderWidget(view), point);
}
void Click(QWidget* view, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    Hover(view, point);
    QTest::mouseClick(RenderWidget(view), button, {}, point);
}
// Repeats act, harmless to repeat, until the page shows that it received it: a loaded page
// drops input that comes before its first frame shows. False when it never answered. The second
// only sets how often act is repeated; nothing depends on it.
bool UntilPageAnswers(const std::function<void()>& act, const std::function<bool()>& answered) {
    return QTest::qWaitFor([&] { return act(), QTest::qWaitFor(answered, 1000); }, kWaitMs);
}

// A data table of one column "row": each row one value of T, named after the fault it guards.
template <typename T> void Table(std::initializer_list<std::pair<const char*, T>> rows) {
    QTest::addColumn<T>("row");
    for (const auto& [name, row] : rows) {
        QTest::newRow(name) << row;
    }
}

// Runs act on the first modal dialog of type D that shows (each: on every one), inside the
// dialog's own event loop. A dialog the answer leaves open is rejected: a check that fails inside
// the answer ends the dialog, and the test fails at once. The poll ends with the row that started.
template <typename D> void WhenShown(const std::function<void(D&)>& act, bool each = false) {
    const auto row = [] {
        return QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    };
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, each, row, started = row()] {
        const QPointer<D> dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (row() != started || (dialog != nullptr && !each)) {
            poll->stop();
            poll->deleteLater();
        }
        if (row() == started && dialog != nullptr) {
            const auto close = qScopeGuard(
                [dialog] { dialog && dialog->isVisible() ? dialog->reject() : void(); });
            act(*dialog);
        }
    });
    poll->start(50);
}

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
QStringList Buttons(const QWidget& dialog) { // their texts, without the access key marks
    QStringList texts;
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        texts << button->text().remove('&');
    }
    return texts;
}
} // namespace

class TestWebView : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }
public slots: // not a test: the desktop's handler of mail links
    void Mail(const QUrl& url) { Mailed << url; }

private:
    TestServer Server;
    QTemporaryDir Folder;
    std::unique_ptr<QWidget> Window; // one view: each new one starts a renderer of its own
    platform::QtWebView* View = nullptr;
    // The view's events, in order: "DownloadBegin", "StatusTextChange(Terminé)",
    // "NavigateComplete", "DocumentComplete", "DownloadComplete", "NewWindow".
    QStringList Events;
    bool CancelNewWindow = false; // what the next NewWindow answers
    QString Proposed, Chosen;     // the download's path proposed and the user's answer
    QStringList Asked;            // the credential requests
    std::optional<platform::Credentials> Given;
    std::unique_ptr<BrowserFrm> Frm; // the main window, on a view of its own
    QList<QUrl> Mailed;

    QString Address(const QString& path) const { return Server.Url(path).toString(); }
    int Count(const QString& event) const { return int(Events.count(event)); }
    QStringList StatusTexts() const { // in order
        static const QRegularExpression status("^StatusTextChange\\((.*)\\)$",
                                               QRegularExpression::DotMatchesEverythingOption);
        return Events.filter(status).replaceInStrings(status, "\\1");
    }
    bool LoadAt(const QString& address) { // forgets the events recorded, then loads
        Events.clear();
        return ::Load(*View, address);
    }
    bool Load(const QString& path) { return LoadAt(Address(path)); }
    QList<platform::PopupWindow*> Popups() const {
        return Window->findChildren<platform::PopupWindow*>();
    }
    QString MainTitle() const { return Frm->WB->DocumentTitle().value_or(QString()); }
    bool MainLoad(const QString& path) { return ::Load(*Frm->WB, Address(path)); }
    QWidget* MainPage() const { return RenderWidget(Frm->WB); }
    // Loads /links, then moves the pointer off and onto a link until the status text shows the
    // link's address (the page reports changes only): pointer input now reaches the page.
    void LoadLinks() {
        QVERIFY(Load("/links"));
        int moves = 0;
        QVERIFY(UntilPageAnswers(
            [&] { Hover(View, ++moves % 2 ? QPoint(700, 500) : LinkCentre(Link::TargetBlank)); },
            [this] { return StatusTexts().contains(Address("/title")); }));
    }

private slots:
    void initTestCase() {
        platform::InstallTranslations(*QCoreApplication::instance());
        QVERIFY(Server.Listen());
        platform::WebViewServices services;
        services.ChooseDownloadPath = [this](QWidget*, const QString& proposed) {
            return Proposed = proposed, Chosen;
        };
        services.AskCredentials = [this](QWidget*, const QUrl& url, const QString& realm,
                                         const QString& proxy) {
            return Asked << url.path() + ' ' + realm + ' ' + proxy, Given;
        };
        Window = std::make_unique<QWidget>();
        View = new platform::QtWebView(services, Window.get());
        using W = platform::WebView;
        const auto note = [this](const char* event) { return [this, event] { Events << event; }; };
        connect(View, &W::DownloadBegin, this, note("DownloadBegin"));
        connect(View, &W::DownloadComplete, this, note("DownloadComplete"));
        connect(View, &W::NavigateComplete, this, note("NavigateComplete"));
        connect(View, &W::DocumentComplete, this, note("DocumentComplete"));
        connect(View, &W::StatusTextChange, this,
                [this](const QString& text) { Events << "StatusTextChange(" + text + ")"; });
        connect(View, &W::NewWindow, this,
                [this](bool* cancel) { Events << "NewWindow", *cancel = CancelNewWindow; });
        Window->resize(800, 600);
        View->resize(800, 600);
        Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
        Frm = std::make_unique<BrowserFrm>(
            [](QWidget* parent) { return platform::CreateWebView(parent, {}); });
        Frm->show();
    }
    void cleanup() { qDeleteAll(Popups()); }
    void cleanupTestCase() { Window.reset(), Frm.reset(); }

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
        QVERIFY(LoadAt(row[0].startsWith('/') ? Address(row[0]) : row[0]));
        QCOMPARE(seen, Title(row[1]));
        QCOMPARE(View->DocumentTitle(), Title(row[1]));
        QCOMPARE(Events.first(), "DownloadBegin");
        QCOMPARE(Events.mid(Events.size() - 4),
                 QStringList({"NavigateComplete", "DocumentComplete", "DownloadComplete",
                              "StatusTextChange(Terminé)"}));
        QCOMPARE(Count("NavigateComplete"), 1);
    }

    void stopEndsTheLoad() { // /pending never answers: only Stop ends its load
        Events.clear();
        View->Navigate(Address("/pending"));
        QTRY_VERIFY_WITH_TIMEOUT(Server.Paths().contains("/pending"), kWaitMs);
        View->Stop();
        QTRY_COMPARE_WITH_TIMEOUT(Count("DownloadComplete"), 1, kWaitMs);
        QCOMPARE(StatusTexts().last(), "Chargement arrêté");
    }

    void mailtoGoesToTheDesktop() {
        QDesktopServices::setUrlHandler("mailto", this, "Mail");
        LoadLinks();
        Click(View, LinkCentre(Link::Mailto));
        QTRY_COMPARE_WITH_TIMEOUT(Mailed, QList<QUrl>{QUrl("mailto:compta@example.org")}, kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
        QDesktopServices::unsetUrlHandler("mailto");
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
        CancelNewWindow = row[1].toBool();
        LoadLinks();
        const qsizetype asked = Server.Paths().size();
        Click(View, LinkCentre(Link(row[0].toInt())));
        QTRY_COMPARE_WITH_TIMEOUT(Count("NewWindow"), 1, kWaitMs);
        if (CancelNewWindow) { // a window opens within NewWindow's answer: none is coming
            QVERIFY(Popups().isEmpty() && Load("/echo/fence"));
            QCOMPARE(Server.Paths().mid(asked), QStringList("/echo/fence"));
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, kWaitMs);
        platform::PopupWindow* popup = Popups().first();
        QVERIFY(popup->isVisible() && popup->isWindow());
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowHandle()->title(), title, kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
        popup->View().Navigate("javascript:window.close()");
        QTRY_VERIFY_WITH_TIMEOUT(Popups().isEmpty(), kWaitMs);
    }

    // The page menu's entries, each once: the new-window ones open one at the address they name,
    // even where every NewWindow is cancelled; "Enregistrer la page sous…" asks where.
    void menuEntryDoesWhatItSays_data() {
        Table<QStringList>(
            {{"link in a new window",
              {"Ouvrir le lien dans une nouvelle fenêtre", Address("/title")}},
             {"page source", {"Code source de la page", "view-source:" + Address("/links")}},
             {"save the page", {"Enregistrer la page sous…", "Enregistrer la page sous"}}});
    }
    void menuEntryDoesWhatItSays() {
        QFETCH(QStringList, row); // the entry, what it opens
        CancelNewWindow = true;
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
            entries << (action->isVisible() && !action->isSeparator() ? action->text() : "");
            chosen = action->text() == row[0] && action->isVisible() ? action : chosen;
        }
        entries.removeAll("");
        QVERIFY2(chosen && entries.removeDuplicates() == 0, qPrintable(entries.join('|')));
        QString opened; // the new window's address, or the file dialog's caption
        WhenShown<QFileDialog>([&opened](QFileDialog& dialog) { opened = dialog.windowTitle(); });
        menu->close();
        chosen->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(
            Popups().isEmpty() ? opened : Popups()[0]->View().Url().toString(), row[1], kWaitMs);
        QCOMPARE(Count("NewWindow"), 0);
    }

    // A French notice covers the page and is the status text, alone, until reloaded.
    void rendererCrashRecovered_data() {
        Table<int>({{"chrome://crash", 0}, {"renderer killed", SIGKILL}});
    }
    void rendererCrashRecovered() {
        QFETCH(int, row);
        QVERIFY(Load("/title") && View->RendererPid() > 0);
        Events.clear();
        row == 0 ? View->Navigate("chrome://crash") : void(::kill(pid_t(View->RendererPid()), row));
        auto* reload = View->findChild<QPushButton*>();
        QTRY_VERIFY_WITH_TIMEOUT(reload->isVisible(), kWaitMs);
        QCOMPARE(reload->parentWidget()->geometry(), View->rect());
        const QString said = View->findChild<QLabel*>()->text();
        QVERIFY2(said.contains("brutalement") && said.contains("Actualiser"), qPrintable(said));
        QCOMPARE(Events, QStringList("StatusTextChange(" + said + ")"));
        reload->click();
        QTRY_COMPARE_WITH_TIMEOUT(Count("DownloadComplete"), 1, kWaitMs);
        QVERIFY(!reload->isVisible());
        QCOMPARE(StatusTexts().last(), "Terminé");
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
        View->Navigate(Address("/download"));
        QTRY_VERIFY_WITH_TIMEOUT(
            StatusTexts().contains(Chosen.isEmpty() ? "Téléchargement de « releve.bin » annulé."
                                                    : "Téléchargement terminé : " + Chosen),
            kWaitMs);
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
        Given = row ? std::optional(
                          platform::Credentials{testserver::AuthUser, testserver::AuthPassword})
                    : std::nullopt;
        QVERIFY(Load("/auth"));
        QCOMPARE(Asked, QStringList({"/auth Ulmeco "}));
        QCOMPARE(View->DocumentTitle(), Title(row ? "Espace membre" : "Refusé"));
    }

    // Saving asks for the file and its format and writes it; the preview shows the page.
    void saveOrPreview_data() { // the format chosen, the file typed without its suffix, content
        Table<QStringList>(
            {{"save complete",
              {"Page web complète (*.html *.htm)", "complete.html", "<title>Page"}},
             {"save as web archive",
              {"Archive web, fichier unique (*.mhtml)", "archive.mhtml", "MIME-Version"}},
             {"print preview: one page", {}}});
    }
    void saveOrPreview() {
        QFETCH(QStringList, row);
        QVERIFY(Load("/title"));
        int pages = -1;
        WhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            QVERIFY(QTest::qWaitFor([&] { return preview->pageCount() > 0; }, kWaitMs));
            pages = preview->pageCount();
        });
        WhenShown<QFileDialog>([&](QFileDialog& dialog) {
            QCOMPARE(dialog.nameFilters().size(), 3);
            dialog.selectNameFilter(row[0]);
            dialog.setDirectory(Folder.path());
            dialog.findChild<QLineEdit*>("fileNameEdit")->setText(row[1].section('.', 0, 0));
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });
        View->ExecWB(row.isEmpty() ? platform::OLECMDID_PRINTPREVIEW : platform::OLECMDID_SAVEAS,
                     0);
        const QString path = Folder.filePath(row.value(1));
        QTRY_VERIFY2_WITH_TIMEOUT(row.isEmpty()
                                      ? pages == 1
                                      : ReadAll(path).contains(row[2].toUtf8()) &&
                                            StatusTexts().contains("Page enregistrée : " + path),
                                  qPrintable(StatusTexts().join('|')), kWaitMs);
    }

    // French caption, the page's text shown as text, the answer given back to the script.
    void scriptDialog_data() { // script, button pressed, typed, text shown, answer
        Table<QStringList>(
            {{"alert, markup shown as text",
              {"alert('Solde < 0 & <b>urgent</b>'); document.title = 'lu'", "OK", "",
               "Solde < 0 & <b>urgent</b>", "lu"}},
             {"confirm, Annuler",
              {"document.title = confirm('Supprimer ?')", "Annuler", "", "Supprimer ?", "false"}},
             {"prompt, typed and OK",
              {"document.title = prompt('Votre nom ?', 'M')", "OK", "Dupont-Lévêque", "Votre nom ?",
               "Dupont-Lévêque"}}});
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
            const qsizetype at = Buttons(dialog).indexOf(row[1]);
            at >= 0 ? dialog.findChildren<QAbstractButton*>()[at]->click() : void();
        });
        QVERIFY(LoadAt(Page(row[0])));
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
                seen << dialog.windowTitle() + (dialog.isModal() ? " modal " : " ") +
                            QString::number(Buttons(dialog)
                                                .filter(QRegularExpression("^(Imprimer|Annuler)$"))
                                                .size());
            },
            true);
        QVERIFY(LoadAt(Page("for (i = 0; i < 10; i++) print(); document.title = 'suite'")));
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), Title("suite"), kWaitMs);
        QCOMPARE(seen, QStringList("Imprimer la page modal 2"));
    }

    // The window keeps Escape for a load; with none, it is the page's. 'a' is pressed until the
    // page echoes it: from then on, keys provably reach the page.
    void escapeReachesIdlePage() {
        Frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frm.get()) && MainLoad("/keys"));
        Frm->WB->SetFocus();
        QTRY_VERIFY_WITH_TIMEOUT(MainPage()->hasFocus(), kWaitMs);
        QVERIFY(UntilPageAnswers([this] { QTest::keyClick(MainPage(), Qt::Key_A); },
                                 [this] { return MainTitle() == "touche:a"; }));
        QTest::keyClick(MainPage(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "touche:Escape", kWaitMs);
    }

    void pageFullScreenUntilEscape() {
        Frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frm.get()) && MainLoad("/fullscreen"));
        QVERIFY(UntilPageAnswers([this] { Click(Frm->WB, LinkCentre(Link::TargetBlank)); },
                                 [this] { return Frm->Tools().IsFullScreen(); }));
        QVERIFY(Frm->isFullScreen());
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "plein:oui", kWaitMs);
        QTest::keyClick(MainPage(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "plein:non", kWaitMs);
        QVERIFY(!Frm->Tools().IsFullScreen());
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
        QVERIFY(::Load(*Frm->WB, Address("/width?suite").replace("127.0.0.1", "localhost")));
        QCOMPARE(Frm->WB->ZoomFactor(), 1.5);
        QTRY_VERIFY_WITH_TIMEOUT(plain > 0 && qAbs(width() - qRound(plain / 1.5)) <= 1, kWaitMs);
    }
};

QTEST_MAIN(TestWebView)
#include "tst_webview.moc"
