// What the view asks of the user, answered by the test: where a download goes, credentials, the
// dialogs of a page's scripts and its print requests; saving and print preview.

#include "platform/Engine.h"
#include "support/EngineView.h"
#include "support/ModalDialog.h"
#include "support/TestServer.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

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

class TestUserDialogs : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    QTemporaryDir Folder;
    std::unique_ptr<ShownWebView> Shown;
    platform::QtWebView* View = nullptr;
    QString Proposed, Chosen; // the download's path proposed and the user's answer
    QStringList Asked;        // the credential requests
    std::optional<platform::Credentials> Given;

    bool Load(const QString& path) { return Shown->Load(Server.Url(path).toString()); }

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
    }
    void cleanupTestCase() { Shown.reset(); }

    // Proposed: the desktop's download folder, made when missing, else the home folder.
    void download_data() { // user-dirs.dirs, made in home ("x/" a folder), folder proposed, chosen
        Table<QStringList>(
            {{"download folder there", {"", "Downloads/", "Downloads", "y"}},
             {"download folder missing: made", {"", "", "Downloads", "y"}},
             {"desktop's own folder missing: made",
              {"XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"", "", "Téléchargements", "y"}},
             {"no folder can be made: home", {"", "Downloads", "", "y"}},
             {"refused: nothing written", {"", "", "Downloads", ""}}});
    }
    void download() {
        QFETCH(QStringList, row);
        QTemporaryDir home;
        const QByteArray homeBefore = qgetenv("HOME"), configBefore = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", homeBefore);
            qputenv("XDG_CONFIG_HOME", configBefore);
            QStandardPaths::setTestModeEnabled(true);
        });
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(row[0].isEmpty()); // else the desktop's folders count
        QFile dirs(home.filePath("user-dirs.dirs")), made(home.filePath(row[1]));
        QVERIFY(row[0].isEmpty() ||
                (dirs.open(QIODevice::WriteOnly) && dirs.write(row[0].toUtf8())));
        dirs.close();
        QVERIFY(row[1].isEmpty() || (row[1].endsWith('/') ? QDir(home.path()).mkdir(row[1])
                                                          : made.open(QIODevice::WriteOnly)));
        QVERIFY(Load("/title"));
        Chosen = row[3].isEmpty() ? "" : Folder.filePath(QTest::currentDataTag());
        const QStringList before = QDir(Folder.path()).entryList(QDir::Files);
        View->Navigate(Server.Url("/download").toString());
        const QString status = Chosen.isEmpty() ? "Téléchargement de « releve.bin » annulé."
                                                : "Téléchargement terminé : " + Chosen;
        QTRY_VERIFY_WITH_TIMEOUT(Shown->StatusTexts().contains(status), kWaitMs);
        QVERIFY(Chosen.isEmpty() ? QDir(Folder.path()).entryList(QDir::Files) == before
                                 : ReadAll(Chosen) == testserver::DownloadBody());
        const QString folder = QDir(home.path()).filePath(row[2]);
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
             {"html only",
              {"Page web, HTML uniquement (*.html *.htm)", "seule.html", "<title>Page"}},
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
              {prompt, "OK", "Dupont-Lévêque", "Votre nom ?", "Dupont-Lévêque"}},
             {"prompt, Annuler", {prompt, "Annuler", "Dupont", "Votre nom ?", "rien"}}});
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
};

QTEST_MAIN(TestUserDialogs)
#include "tst_userdialogs.moc"
