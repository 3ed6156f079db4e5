// The real web view against the local test server: its title and events, stopping, mail links, new
// windows, the page menu, a dying renderer, what it asks of the user (download, credentials, script
// dialogs, printing); the main window's Escape, full screen, find and zoom on it.

#include "qt/browser/BrowserFrm.h"
#include "qt/browser/PageTools.h"
#include "qt/platform/Engine.h"
#include "qt/platform/PopupWindow.h"
#include "qt/platform/QtWebView.h"
#include "qt/tests/support/EngineView.h"
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
constexpr int kWaitMs = 60000; // every wait's guard against hangs, never a measure of speed

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
// Repeats act, harmless to repeat, until the page shows it received it (a page drops input before
// its first frame shows); false when it never did. The second only paces the repeats.
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

// Runs act on the first modal dialog D shown (each: on every one) while the poll returned lives. A
// dialog act leaves open is rejected: a check failing in act ends it, and the test fails at once.
template <typename D>
[[nodiscard]] std::unique_ptr<QTimer> WhenShown(const std::function<void(D&)>& act,
                                                bool each = false) {
    auto poll = std::make_unique<QTimer>();
    QObject::connect(poll.get(), &QTimer::timeout, poll.get(), [poll = poll.get(), act, each] {
        if (const QPointer<D> dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            each ? void() : poll->stop();
            const auto close = qScopeGuard(
                [dialog] { dialog && dialog->isVisible() ? dialog->reject() : void(); });
            act(*dialog);
        }
    });
    poll->start(50);
    return poll;
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
    // The view's events, in order: "StatusTextChange(Terminé)", "DownloadComplete", "NewWindow".
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
    bool Load(const QString& at) { // a path of the server or an address; forgets the events first
        Events.clear();
        return ::Load(*View, at.startsWith('/') ? Address(at) : at);
    }
    QList<platform::PopupWindow*> Popups() const {
        return Window->findChildren<platform::PopupWindow*>();
    }
    QString MainTitle() const { return Frm->WB->DocumentTitle().value_or(QString()); }
    bool MainLoad(const QString& path) { return ::Load(*Frm->WB, Address(path)); }
    QWidget* MainPage() const { return RenderWidget(Frm->WB); }
    // Loads /links; pointer moves off and onto a link until the status shows its address.
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
        connect(View, &W::DownloadComplete, this, note("DownloadComplete"));
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

    // The title read as NavigateComplete comes and after it.
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
        QVERIFY(Load(row[0]));
        QCOMPARE(seen, Title(row[1]));
        QCOMPARE(View->DocumentTitle(), Title(row[1]));
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
        QTRY_COMPARE_WITH_TIMEOUT(Popups()[0]->windowHandle()->title(), row[2].toString(), kWaitMs);
        QCOMPARE(View->DocumentTitle(), Title("Liens"));
        Popups()[0]->View().Navigate("javascript:window.close()");
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
        const auto answer = WhenShown<QFileDialog>(
            [&opened](QFileDialog& dialog) { opened = dialog.windowTitle(); });
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
        QVERIFY(!reload->isVisible() && StatusTexts().last() == "Terminé");
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
                                 : ReadAll(Chosen) == testserver::DownloadBody);
        const QString folder = QDir(home.path()).filePath(row[1]);
        QCOMPARE(Proposed, QDir(folder).filePath(testserver::DownloadName));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(View->DocumentTitle(), Title("Page avec titre")); // the page stays
    }

    // Asked each time until given (then the engine keeps the credentials for the session).
    void authentication() {
        for (const bool given : {false, true}) {
            Asked.clear();
            Given = given ? std::optional(platform::Credentials{testserver::AuthUser,
                                                                testserver::AuthPassword})
                          : std::nullopt;
            QVERIFY(Load("/auth"));
            QCOMPARE(Asked, QStringList({"/auth Ulmeco "}));
            QCOMPARE(View->DocumentTitle(), Title(given ? "Espace membre" : "Refusé"));
        }
    }

    // Saving asks for the file and its format and writes it; the preview shows the page.
    void saveOrPreview_data() { // the format chosen, the file typed without its suffix, content
        Table<QStringList>(
            {{"save as web archive",
              {"Archive web, fichier unique (*.mhtml)", "archive.mhtml", "MIME-Version"}},
             {"print preview: one page", {}}});
    }
    void saveOrPreview() {
        QFETCH(QStringList, row);
        QVERIFY(Load("/title"));
        int pages = -1;
        const auto answer = WhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            QVERIFY(QTest::qWaitFor([&] { return preview->pageCount() > 0; }, kWaitMs));
            pages = preview->pageCount();
        });
        const auto saving = WhenShown<QFileDialog>([&](QFileDialog& dialog) {
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
        const auto answer = WhenShown<QDialog>([&](QDialog& dialog) {
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
                button->text().remove('&') == row[1] ? button->click() : void();
            }
        });
        QVERIFY(Load(Page(row[0])));
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), Title(row[4]), kWaitMs);
        QCOMPARE(caption, "Message de la page");
        QCOMPARE(shown, row[3]);
    }

    // window.print(): the print command's dialog, modal, once for a burst; then the script goes on.
    void pagePrints() {
        QStringList seen;
        const auto answer = WhenShown<QPrintDialog>(
            [&](QPrintDialog& d) { seen << d.windowTitle() + (d.isModal() ? " modal" : ""); },
            true);
        QVERIFY(Load(Page("for (i = 0; i < 10; i++) print(); document.title = 'suite'")));
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), Title("suite"), kWaitMs);
        QCOMPARE(seen, QStringList("Imprimer la page modal"));
    }

    // With no load, Escape is the page's ('a' pressed until the page echoes it: keys reach it).
    void escapeReachesIdlePageAndEndsItsFullScreen() {
        Frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frm.get()) && MainLoad("/keys"));
        Frm->WB->SetFocus();
        QTRY_VERIFY_WITH_TIMEOUT(MainPage()->hasFocus(), kWaitMs);
        QVERIFY(UntilPageAnswers([this] { QTest::keyClick(MainPage(), Qt::Key_A); },
                                 [this] { return MainTitle() == "touche:a"; }));
        QTest::keyClick(MainPage(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "touche:Escape", kWaitMs);
        // A page's full screen lasts until Escape.
        QVERIFY(MainLoad("/fullscreen"));
        QVERIFY(UntilPageAnswers([this] { Click(Frm->WB, LinkCentre(Link::TargetBlank)); },
                                 [this] { return Frm->Tools().IsFullScreen(); }));
        QVERIFY(Frm->isFullScreen());
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "plein:oui", kWaitMs);
        QTest::keyClick(MainPage(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(MainTitle(), "plein:non", kWaitMs);
        QVERIFY(!Frm->Tools().IsFullScreen());
    }

    void findCounts() { // "lune" in any case, then "Lune" with its case kept
        QVERIFY(MainLoad("/echo/lune-Lune-lune-LUNE"));
        for (const bool kept : {false, true}) {
            std::pair<int, int> found{-1, -1};
            Frm->WB->FindText(kept ? "Lune" : "lune", false, kept, [&found](int at, int n) {
                found = {at, n};
            });
            QTRY_COMPARE_WITH_TIMEOUT(found, std::make_pair(1, kept ? 1 : 4), kWaitMs);
        }
    }

    void zoomKeptOnAnotherSite() {
        const auto width = [this] { return MainTitle().section(':', 1).toInt(); }; // in CSS pixels
        Frm->Tools().SetZoom(100);
        QVERIFY(MainLoad("/width"));
        const int plain = width();
        Frm->Tools().SetZoom(150);
        QVERIFY(::Load(*Frm->WB, Address("/width?suite").replace("127.0.0.1", "localhost")));
        QTRY_VERIFY_WITH_TIMEOUT(plain > 0 && qAbs(width() - qRound(plain / 1.5)) <= 1, kWaitMs);
    }
};

QTEST_MAIN(TestWebView)
#include "tst_webview.moc"
