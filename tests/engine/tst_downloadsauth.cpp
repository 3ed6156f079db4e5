// What the view asks of the user, answered by the test: where a download goes, the credentials a
// site demands; and the save and print preview commands driven through their real dialogs.

#include "platform/QtWebView.h"
#include "support/ModalDialog.h"
#include "support/ShownWebView.h"
#include "support/TestServer.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using platform::QtWebView;

namespace {
constexpr int Timeout = 15000;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TstDownloadsAuth : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    TestServer Server;
    QTemporaryDir Folder;
    std::unique_ptr<ShownWebView> Shown;
    QtWebView* View = nullptr;
    WebViewRecorder* Recorder = nullptr;

    // What the view asked and what the test answers.
    QString SuggestedPath;
    QString ChosenPath;
    QStringList CredentialRequests;
    std::optional<platform::Credentials> GivenCredentials;

    bool Load(const QString& path) {
        Recorder->Clear();
        View->Navigate(Server.Url(path).toString());
        return QTest::qWaitFor([this] { return Recorder->Count("DownloadComplete") > 0; }, Timeout);
    }

    bool StatusShown(const QString& text) const { return Recorder->StatusTexts().contains(text); }

private slots:
    void initTestCase() {
        QVERIFY(Server.Listen());
        QVERIFY(Folder.isValid());
        platform::WebViewServices services;
        services.ChooseDownloadPath = [this](QWidget*, const QString& suggested) {
            SuggestedPath = suggested;
            return ChosenPath;
        };
        services.AskCredentials = [this](QWidget*, const QUrl& url, const QString& realm,
                                         const QString& proxyHost) {
            CredentialRequests << url.path() + ' ' + realm + ' ' + proxyHost;
            return GivenCredentials;
        };
        Shown = std::make_unique<ShownWebView>(services);
        View = Shown->View;
        Recorder = Shown->Recorder;
        QVERIFY(Load("/title"));
    }

    void cleanupTestCase() { Shown.reset(); }

    // Proposed: the desktop's download folder, made when missing, else the home folder; never
    // the working directory, where a file dialog opens on a folder that is not there.
    void downloadIsSavedWhereChosen_data() {
        QTest::addColumn<QString>("userDirs"); // the desktop's user-dirs.dirs; none if empty
        QTest::addColumn<QString>("inHome");   // "name/" a folder, "name" a file, made first
        QTest::addColumn<QString>("proposed"); // the folder proposed, in the home folder
        QTest::newRow("download folder there") << ""
                                               << "Downloads/"
                                               << "Downloads";
        QTest::newRow("download folder missing: made") << ""
                                                       << ""
                                                       << "Downloads";
        QTest::newRow("desktop's own folder missing: made")
            << "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n"
            << ""
            << "Téléchargements";
        QTest::newRow("no folder can be made: home") << ""
                                                     << "Downloads"
                                                     << "";
    }
    void downloadIsSavedWhereChosen() {
        QFETCH(QString, userDirs);
        QFETCH(QString, inHome);
        QFETCH(QString, proposed);
        QTemporaryDir home;
        QTemporaryDir config;
        const QByteArray homeBefore = qgetenv("HOME");
        const QByteArray configBefore = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", homeBefore);
            qputenv("XDG_CONFIG_HOME", configBefore);
            QStandardPaths::setTestModeEnabled(true);
        });
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        // The desktop's folders are read only outside the test mode.
        QStandardPaths::setTestModeEnabled(userDirs.isEmpty());
        if (!userDirs.isEmpty()) {
            QFile dirs(config.filePath("user-dirs.dirs"));
            QVERIFY(dirs.open(QIODevice::WriteOnly));
            dirs.write(userDirs.toUtf8());
        }
        if (inHome.endsWith('/')) {
            QVERIFY(QDir(home.path()).mkdir(inHome));
        } else if (!inHome.isEmpty()) {
            QFile file(home.filePath(inHome));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        ChosenPath = Folder.filePath(QString("choisi-%1.bin").arg(QTest::currentDataTag()));
        Recorder->Clear();
        View->Navigate(Server.Url("/download").toString());
        const QString done = "Téléchargement terminé : " + ChosenPath;
        QTRY_VERIFY_WITH_TIMEOUT(StatusShown(done), Timeout);
        QCOMPARE(ReadAll(ChosenPath), testserver::DownloadBody());
        // Proposed: that folder and the name the server gave.
        const QString folder = QDir(home.path()).filePath(proposed);
        QCOMPARE(SuggestedPath, QDir(folder).filePath(testserver::DownloadName));
        QVERIFY(QFileInfo(folder).isDir());
        // The page shown stays, and the view stays usable.
        QCOMPARE(View->DocumentTitle(), std::optional<QString>("Page avec titre"));
        QVERIFY(Load("/echo/apres"));
        QVERIFY(Load("/title"));
    }

    void downloadRefusedWritesNothing() {
        ChosenPath.clear();
        const QStringList before = QDir(Folder.path()).entryList(QDir::Files);
        Recorder->Clear();
        View->Navigate(Server.Url("/download").toString());
        QTRY_VERIFY_WITH_TIMEOUT(StatusShown("Téléchargement de « releve.bin » annulé."), Timeout);
        QCOMPARE(QDir(Folder.path()).entryList(QDir::Files), before);
    }

    // Refused first: once given, the engine remembers the credentials for the session.
    void authentication_data() {
        QTest::addColumn<bool>("give");
        QTest::addColumn<QString>("title");
        QTest::newRow("refused") << false << "Refusé";
        QTest::newRow("given") << true << "Espace membre";
    }
    void authentication() {
        QFETCH(bool, give);
        QFETCH(QString, title);
        CredentialRequests.clear();
        GivenCredentials.reset();
        if (give) {
            GivenCredentials =
                platform::Credentials{testserver::AuthUser, testserver::AuthPassword};
        }
        QVERIFY(Load("/auth"));
        QCOMPARE(CredentialRequests, QStringList({"/auth Ulmeco "}));
        QCOMPARE(View->DocumentTitle(), std::optional<QString>(title));
    }

    void savePage_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("complete") << "Page web complète (*.html *.htm)"
                                  << "complete.html"
                                  << QByteArray("<title>Page avec titre</title>");
        QTest::newRow("html only") << "Page web, HTML uniquement (*.html *.htm)"
                                   << "seule.html" << QByteArray("<title>Page avec titre</title>");
        QTest::newRow("web archive") << "Archive web, fichier unique (*.mhtml)"
                                     << "archive.mhtml" << QByteArray("MIME-Version: 1.0");
    }
    void savePage() {
        QFETCH(QString, filter);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QVERIFY(Load("/title"));
        const QString path = Folder.filePath(file);
        QStringList offered;
        WhenShown<QFileDialog>([&](QFileDialog& dialog) {
            offered = dialog.nameFilters();
            dialog.selectNameFilter(filter);
            // Typed without its suffix: the dialog adds the one of the chosen format.
            dialog.setDirectory(Folder.path());
            auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name != nullptr);
            name->setText(QFileInfo(path).completeBaseName());
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });
        View->ExecWB(platform::OLECMDID_SAVEAS, 0);
        QTRY_VERIFY2_WITH_TIMEOUT(StatusShown("Page enregistrée : " + path),
                                  qPrintable(Recorder->StatusTexts().join('|')), Timeout);
        QCOMPARE(offered.size(), 3);
        QVERIFY(offered.contains(filter));
        QVERIFY2(ReadAll(path).contains(content), ReadAll(path).left(300).constData());
    }

    void printPreviewShowsThePage() {
        QVERIFY(Load("/title"));
        int pages = -1;
        WhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            (void)QTest::qWaitFor([&] { return preview != nullptr && preview->pageCount() > 0; },
                                  Timeout);
            pages = preview != nullptr ? preview->pageCount() : -1;
            dialog.reject();
        });
        View->ExecWB(platform::OLECMDID_PRINTPREVIEW, 0);
        QCOMPARE(pages, 1);
    }
};

QTEST_MAIN(TstDownloadsAuth)
#include "tst_downloadsauth.moc"
