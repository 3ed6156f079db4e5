// The command line and the settings file's links: the table they give, for hostile input too,
// and that table applied to the main window's tooltips and links menu.
#include "app/LinkTable.h"
#include "app/StartUp.h"
#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"
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
    // links: the shown entries 1 to 5 as "n:title>address".
    void table_data() {
        QTest::addColumn<QString>("commandLine"); // as the host passed it
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("expected"); // home, mail, entry 0's caption, links
        const auto row = [](const char* name, const QString& commandLine,
                            const QByteArray& settings, const QStringList& expected) {
            QTest::newRow(name) << commandLine << settings << expected;
        };
        const QString megabyte(1 << 20, u'a'), bad(QChar::ReplacementCharacter);
        const QStringList defaults{"http://www.ulmeco.fr/", "http://webmail.ulmeco.fr/",
                                   "Site Ulmeco", ""};
        row("defaults, no settings file", "", "", defaults);
        row("a megabyte of home address", "  " + megabyte + "  ", "",
            {"http://" + megabyte, defaults[1], megabyte, ""});
        row("a megabyte of commas", QString(1 << 20, u','), "", defaults);
        row("bytes that are not UTF-8", QString::fromLocal8Bit("H\xE9te.Example/,\xFF\xFEmail:1"),
            "",
            {"http://h" + bad + "te.example/", bad + bad + "mail:1", "h" + bad + "te.example/",
             ""});
        row("NUL characters", QString::fromUtf16(u"a\0b,\0,c", 7), "",
            {QString::fromUtf16(u"http://a\0b", 10), QString::fromUtf16(u"http://\0", 8),
             QString::fromUtf16(u"a\0b", 3), ""});
        row("lone surrogates", QString::fromUtf16(u"\xD800x,\xDC00", 4), "",
            {QString::fromUtf16(u"http://\xD800x", 9), QString::fromUtf16(u"http://\xDC00", 8),
             QString::fromUtf16(u"\xD800x", 2), ""});
        row("links with gaps", "a.fr",
            "[Liens]\nTitre0=z\nAdresse0=z\nTitre2=Deux\nAdresse2=deux.fr\nAdresse3=trois.fr\n"
            "Titre4=Quatre\nTitre5=Cinq\nAdresse5=https://cinq.fr\nTitre6=six\n",
            {"http://a.fr", defaults[1], "a.fr",
             "2:Deux>deux.fr 4:Quatre> 5:Cinq>https://cinq.fr"});
        const QByteArray huge(1 << 20, 'l');
        row("links cut at 1023", "a,b",
            "[Liens]\nTitre2=" + huge + "\nAdresse2=" + huge + "\nTitre5=\x01\xFF\n",
            {"http://a", "http://b", "a",
             "2:" + QString(1023, 'l') + ">" + QString(1023, 'l') + u" 5:\u0001\u00FF>"_qs});
    }
    void table() {
        QFETCH(QString, commandLine);
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, expected);
        UseSettings(settings);
        const LinkTable table = BuildLinkTable(PrepareCommandLine(commandLine), IniReadDefault);
        QStringList links;
        for (int n = 1; n < LinkCount; ++n) {
            QVERIFY(table.Visible[n] ||
                    (table.LinkTitles[n].isEmpty() && table.LinkUrls[n].isEmpty()));
            links << (table.Visible[n]
                          ? QString("%1:%2>%3").arg(n).arg(table.LinkTitles[n], table.LinkUrls[n])
                          : "");
        }
        const QStringList seen{table.HomeUrl, table.MailUrl, table.Entry0Caption,
                               links.join(' ').simplified()};
        QVERIFY(seen == expected); // no QCOMPARE: megabytes would be printed
        QVERIFY(table.Visible[0] && table.LinkUrls[0] == table.HomeUrl);
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
