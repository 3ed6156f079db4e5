// What the view asks of the user, answered by the test: where a download goes, credentials, the
// dialogs of a page's scripts and its print requests; and saving and print preview.

#include "platform/Engine.h"
#include "support/EngineView.h"
#include "support/ModalDialog.h"
#include "support/TestServer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using Title = std::optional<QString>;

namespace {
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
QString Plain(QString text) {
    return text.remove('&');
}
// A page whose script runs once it has loaded: no dialog holds up the load a test waits for.
QString Page(const QString& script) {
    return "data:text/html;charset=utf-8," +
           QString::fromLatin1(QUrl::toPercentEncoding(
               "<!doctype html><meta charset=utf-8><p>Facture</p><script>setTimeout(function() { " +
               script + " }, 0);</script>"));
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
    QString SuggestedPath, ChosenPath;
    QStringList Asked; // the credential requests
    std::optional<platform::Credentials> Given;

    bool Load(const QString& path) { return Shown->Load(Server.Url(path).toString()); }

private slots:
    void initTestCase() {
        platform::InstallTranslations(*QCoreApplication::instance());
        QVERIFY(Server.Listen());
        platform::WebViewServices services;
        services.ChooseDownloadPath = [this](QWidget*, const QString& suggested) {
            SuggestedPath = suggested;
            return ChosenPath;
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
    void download_data() {
        QTest::addColumn<QString>("userDirs"); // the desktop's user-dirs.dirs; none if empty
        QTest::addColumn<QString>("inHome");   // "name/" a folder, "name" a file, made first
        QTest::addColumn<QString>("proposed"); // the folder proposed, in the home folder
        QTest::addColumn<bool>("chosen");      // else the user refuses
        const auto row = [](const char* name, QString u, QString i, QString p, bool c) {
            QTest::newRow(name) << u << i << p << c;
        };
        row("download folder there", "", "Downloads/", "Downloads", true);
        row("download folder missing: made", "", "", "Downloads", true);
        row("desktop's own folder missing: made", "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n",
            "", "Téléchargements", true);
        row("no folder can be made: home", "", "Downloads", "", true);
        row("refused: nothing written", "", "", "Downloads", false);
    }
    void download() {
        QFETCH(QString, userDirs);
        QFETCH(QString, inHome);
        QFETCH(QString, proposed);
        QFETCH(bool, chosen);
        QTemporaryDir home, config;
        const QByteArray homeBefore = qgetenv("HOME"), configBefore = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", homeBefore);
            qputenv("XDG_CONFIG_HOME", configBefore);
            QStandardPaths::setTestModeEnabled(true);
        });
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QStandardPaths::setTestModeEnabled(userDirs.isEmpty()); // else the desktop's are read
        QFile dirs(config.filePath("user-dirs.dirs"));
        QVERIFY(userDirs.isEmpty() ||
                (dirs.open(QIODevice::WriteOnly) && dirs.write(userDirs.toUtf8())));
        dirs.close();
        QFile made(home.filePath(inHome));
        QVERIFY(inHome.isEmpty() || (inHome.endsWith('/') ? QDir(home.path()).mkdir(inHome)
                                                          : made.open(QIODevice::WriteOnly)));
        QVERIFY(Load("/title"));
        ChosenPath = chosen ? Folder.filePath(QTest::currentDataTag() + QString(".bin")) : "";
        const QStringList before = QDir(Folder.path()).entryList(QDir::Files);
        View->Navigate(Server.Url("/download").toString());
        const QString status = chosen ? "Téléchargement terminé : " + ChosenPath
                                      : "Téléchargement de « releve.bin » annulé.";
        QTRY_VERIFY_WITH_TIMEOUT(Shown->StatusTexts().contains(status), kWaitMs);
        if (chosen) {
            QCOMPARE(ReadAll(ChosenPath), testserver::DownloadBody());
        } else {
            QCOMPARE(QDir(Folder.path()).entryList(QDir::Files), before);
        }
        const QString folder = QDir(home.path()).filePath(proposed);
        QCOMPARE(SuggestedPath, QDir(folder).filePath(testserver::DownloadName));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(View->DocumentTitle(), Title("Page avec titre")); // the page stays, usable
        QVERIFY(Load("/echo/apres"));
    }

    // Refused first: once given, the engine keeps the credentials for the session.
    void authentication_data() {
        QTest::addColumn<bool>("give");
        QTest::addColumn<QString>("title");
        QTest::newRow("refused") << false << "Refusé";
        QTest::newRow("given") << true << "Espace membre";
    }
    void authentication() {
        QFETCH(bool, give);
        QFETCH(QString, title);
        Asked.clear();
        Given.reset();
        if (give) {
            Given = platform::Credentials{testserver::AuthUser, testserver::AuthPassword};
        }
        QVERIFY(Load("/auth"));
        QCOMPARE(Asked, QStringList({"/auth Ulmeco "}));
        QCOMPARE(View->DocumentTitle(), Title(title));
    }

    void savePage_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("file"); // typed without its suffix: the filter adds it
        QTest::addColumn<QByteArray>("content");
        const auto row = [](const char* name, QString f, QString n, QByteArray c) {
            QTest::newRow(name) << f << n << c;
        };
        row("complete", "Page web complète (*.html *.htm)", "complete.html", "<title>Page avec");
        row("html only", "Page web, HTML uniquement (*.html *.htm)", "seule.html", "<title>Page");
        row("web archive", "Archive web, fichier unique (*.mhtml)", "archive.mhtml",
            "MIME-Version");
    }
    void savePage() {
        QFETCH(QString, filter);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QVERIFY(Load("/title"));
        QStringList offered;
        WhenShown<QFileDialog>([&](QFileDialog& dialog) {
            offered = dialog.nameFilters();
            dialog.selectNameFilter(filter);
            dialog.setDirectory(Folder.path());
            auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name != nullptr);
            name->setText(QFileInfo(file).completeBaseName());
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });
        View->ExecWB(platform::OLECMDID_SAVEAS, 0);
        const QString path = Folder.filePath(file);
        QTRY_VERIFY2_WITH_TIMEOUT(Shown->StatusTexts().contains("Page enregistrée : " + path),
                                  qPrintable(Shown->StatusTexts().join('|')), kWaitMs);
        QCOMPARE(offered.size(), 3);
        QVERIFY2(ReadAll(path).contains(content), ReadAll(path).left(300).constData());
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

    // French caption and buttons, the page's text shown as text, the answer given to the script.
    void scriptDialog_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("answer");
        const auto row = [](const char* name, QString s, QString p, QString t, QString x,
                            QString a) { QTest::newRow(name) << s << p << t << x << a; };
        const QString confirm = "document.title = confirm('Supprimer ?') ? 'oui' : 'non';";
        const QString prompt =
            "var r = prompt('Votre nom ?', 'Martin'); document.title = r === null ? 'rien' : r;";
        row("alert, markup shown as text",
            "alert('Solde < 0 & <b>urgent</b>'); document.title = 'lu';", "OK", "",
            "Solde < 0 & <b>urgent</b>", "lu");
        row("confirm, Annuler", confirm, "Annuler", "", "Supprimer ?", "non");
        row("prompt, typed and OK", prompt, "OK", "Dupont-Lévêque", "Votre nom ?",
            "Dupont-Lévêque");
        row("prompt, Annuler", prompt, "Annuler", "Dupont", "Votre nom ?", "rien");
    }
    void scriptDialog() {
        QFETCH(QString, script);
        QFETCH(QString, press);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, answer);
        QString caption, shown;
        WhenShown<QDialog>([&, press, typed](QDialog& dialog) {
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
                edit->setText(typed);
            }
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
                if (Plain(button->text()) == press) {
                    return button->click();
                }
            }
        });
        QVERIFY(Shown->Load(Page(script)));
        QTRY_COMPARE_WITH_TIMEOUT(View->DocumentTitle(), Title(answer), kWaitMs);
        QCOMPARE(caption, "Message de la page");
        QCOMPARE(shown, text);
    }

    // window.print() opens the print command's dialog, modal, in French; a burst gets one; the
    // script goes on once it is answered.
    void pagePrints_data() {
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("accept");
        QTest::newRow("asked ten times in a row, Annuler") << 10 << false;
        QTest::newRow("Imprimer, to a file") << 1 << true;
    }
    void pagePrints() {
        QFETCH(int, requests);
        QFETCH(bool, accept);
        ShownWebView shown; // a view of its own: another page's requests do not count
        const QString file = Folder.filePath("facture.pdf");
        QStringList seen; // caption, modal, buttons of each dialog
        const auto answer = AnswerEach<QPrintDialog>([&](QPrintDialog& dialog) {
            QStringList buttons;
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
                buttons << Plain(button->text());
            }
            seen << dialog.windowTitle() + (dialog.isModal() ? " modal " : " ") +
                        QString::number(buttons.contains("Imprimer") + buttons.contains("Annuler"));
            if (accept) { // never a real printer: a PDF file
                auto* printers = dialog.findChild<QComboBox*>("printers");
                printers->setCurrentIndex(printers->findText("Imprimer dans un fichier (PDF)"));
                dialog.findChild<QLineEdit*>("filename")->setText(file);
                dialog.accept();
            }
        });
        QVERIFY(shown.Load(Page(QString("for (var i = 0; i < %1; i++) window.print(); "
                                        "document.title = 'suite';")
                                    .arg(requests))));
        QTRY_COMPARE_WITH_TIMEOUT(shown.View->DocumentTitle(), Title("suite"), kWaitMs);
        QCOMPARE(seen, QStringList("Imprimer la page modal 2"));
        QTRY_VERIFY_WITH_TIMEOUT(!accept || ReadAll(file).startsWith("%PDF-"), kWaitMs);
    }
};

QTEST_MAIN(TestUserDialogs)
#include "tst_userdialogs.moc"
