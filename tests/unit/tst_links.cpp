// The command line and the settings file's links: the table for megabytes of input (the fuzz
// driver compares the rest with a reference), addresses read as typed, and the window's links.
#include "app/LinkTable.h"
#include "app/StartUp.h"
#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"
#include "platform/QtWebView.h"
#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace BrowserMod1;

class TestLinks : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    void UseSettings(const QByteArray& bytes) {
        IniFileName = dir_.filePath("Orvane.ini");
        QFile::remove(IniFileName);
        QVERIFY(bytes.isEmpty() || testsupport::WriteBytes(IniFileName, bytes));
    }

private slots:
    void table_data() { // expected: home, mail, entry 0's caption, the shown links "n:title>url"
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, QString line, QByteArray settings,
                            QStringList expected) {
            QTest::newRow(name) << line << settings << expected;
        };
        const QString mb(1 << 20, u'a'), mail = "http://webmail.ulmeco.fr/", huge(1023, 'l');
        row("a megabyte of home address", "  " + mb + "  ", "", {"http://" + mb, mail, mb, ""});
        row("links cut at 1023", "a,b",
            "[Liens]\nTitre2=" + QByteArray(1 << 20, 'l') +
                "\nAdresse2=" + QByteArray(1 << 20, 'l') + "\nTitre5=\x01\xFF\n",
            {"http://a", "http://b", "a", "2:" + huge + ">" + huge + u" 5:\u0001\u00FF>"_qs});
    }
    void table() {
        QFETCH(QString, commandLine);
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, expected);
        UseSettings(settings);
        const LinkTable table = BuildLinkTable(PrepareCommandLine(commandLine), IniReadDefault);
        QStringList links;
        for (int n = 1; n < LinkCount; ++n) {
            links << QString("%1:%2>%3").arg(n).arg(table.LinkTitles[n], table.LinkUrls[n]);
            links.last() = table.Visible[n] ? links.last() : "";
        }
        const QStringList seen{table.HomeUrl, table.MailUrl, table.Entry0Caption,
                               links.join(' ').simplified()};
        QVERIFY(seen == expected); // no QCOMPARE: megabytes would be printed
        QVERIFY(table.Visible[0] && table.LinkUrls[0] == table.HomeUrl);
    }

    void addressToUrl_data() { // full addresses as they are, others as a user types them
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");
        const auto row = [](const char* name, QString address, QString url) {
            QTest::newRow(name) << address << (url.isEmpty() ? address : url);
        };
        row("web address kept", "https://a.example/x", "");
        row("mail address kept", "mailto:a@b.c", "");
        row("localhost:8080/x read as host and port", "localhost:8080/x",
            "http://localhost:8080/x");
    }
    void addressToUrl() {
        QFETCH(QString, address);
        QTEST(platform::QtWebView::AddressToUrl(address).toString(), "url");
    }

    void appliedToWindow() {
        UseSettings("[Main]\nTitre1=pas ici\n[Liens]\nTitre2=Deux & "
                    "trois\nAdresse2=deux.fr\nTitre4=Quatre\n");
        BrowserFrm frm([](QWidget* parent) -> std::unique_ptr<platform::WebView> {
            return std::make_unique<FakeWebView>(parent);
        });
        ParseCommandLine(frm, "intra.local/accueil,mail.local:8080");
        QCOMPARE(frm.Bouton[5]->toolTip(), "http://intra.local/accueil");
        QCOMPARE(frm.Bouton[11]->toolTip(), "mail.local:8080");
        QStringList shown;
        for (QAction* entry : frm.MLink) {
            shown << (entry->isVisible() ? entry->text() : "-");
        }
        QCOMPARE(shown,
                 (QStringList{"intra.local/accueil", "-", "Deux & trois", "-", "Quatre", "-"}));
    }
};

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
