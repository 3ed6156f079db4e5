// The command line applied to the main window: link table, home and mail tooltips, links menu.
#include "app/LinkTable.h"
#include "app/StartUp.h"
#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"
#include "settings/Ini.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    void WriteSettings(const QByteArray& text) {
        BrowserMod1::IniFileName = dir.filePath("Orvane.ini");
        QFile file(BrowserMod1::IniFileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

private slots:
    void linksFromSettingsAndAddressesFromCommandLine() {
        WriteSettings("[Main]\nTitre1=pas ici\n[Liens]\nTitre2=Deux & trois\nAdresse2=deux.fr\n"
                      "Titre4=Quatre\nTitre6=Six\nAdresse6=six.fr\n");
        BrowserFrm frm(MakeFake);
        ParseCommandLine(frm, QStringLiteral("intra.local/accueil,mail.local:8080"));

        QCOMPARE(frm.HomeUrl, QStringLiteral("http://intra.local/accueil"));
        QCOMPARE(frm.MailUrl, QStringLiteral("mail.local:8080"));
        QCOMPARE(frm.Bouton[5]->toolTip(), frm.HomeUrl);
        QCOMPARE(frm.Bouton[11]->toolTip(), frm.MailUrl);
        QCOMPARE(frm.MLink[0]->text(), QStringLiteral("intra.local/accueil"));

        const std::array<bool, 6> visible{true, false, true, false, true, false};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(frm.MLink[i]->isVisible(), visible[i]);
        QCOMPARE(frm.MLink[2]->text(), QStringLiteral("Deux & trois"));
        QCOMPARE(frm.MLink[4]->text(), QStringLiteral("Quatre"));
        const std::array<QString, 6> urls{"http://intra.local/accueil", "", "deux.fr", "", "", ""};
        QCOMPARE(frm.LinkUrls, urls);
        const std::array<QString, 6> titles{"", "", "Deux & trois", "", "Quatre", ""};
        QCOMPARE(frm.LinkTitles, titles);
    }

    void emptyCommandLineWithoutSettingsFile() {
        BrowserMod1::IniFileName = dir.filePath("absent.ini");
        BrowserFrm frm(MakeFake);
        ParseCommandLine(frm, QString());
        QCOMPARE(frm.HomeUrl, QStringLiteral("http://www.ulmeco.fr/"));
        QCOMPARE(frm.MailUrl, QStringLiteral("http://webmail.ulmeco.fr/"));
        QCOMPARE(frm.MLink[0]->text(), QStringLiteral("Site Ulmeco"));
        QCOMPARE(frm.Bouton[5]->toolTip(), frm.HomeUrl);
        QCOMPARE(frm.Bouton[11]->toolTip(), frm.MailUrl);
        QVERIFY(frm.MLink[0]->isVisible());
        for (int i = 1; i < 6; ++i)
            QVERIFY(!frm.MLink[i]->isVisible());
        QCOMPARE(BrowserMod1::NormalizeUrl(QStringLiteral("a.fr")), QStringLiteral("http://a.fr"));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
