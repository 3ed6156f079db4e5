// The command line and section "Liens" turned into the link table.
#include "app/LinkTable.h"

#include <QMap>
#include <QTest>

using namespace BrowserMod1;

namespace {

// A settings file with section "Liens" only, which records every key read.
struct FakeIni {
    QMap<QString, QString> liens;
    QStringList keysRead;

    IniReader Reader() {
        return [this](const QString& section, const QString& key) {
            keysRead << section + u'/' + key;
            return section == u"Liens" ? liens.value(key) : QString();
        };
    }
};

} // namespace

class TestLinkTable : public QObject {
    Q_OBJECT
private slots:
    void addresses_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("mail");

        const QString defHome = QStringLiteral("http://") + QString::fromUtf16(DefaultHomeUrl);
        const QString defCaption = QString::fromUtf16(DefaultHomeCaption);
        const QString defMail = QStringLiteral("http://") + QString::fromUtf16(DefaultMailUrl);
        QTest::newRow("empty") << "" << defHome << defCaption << defMail;
        QTest::newRow("home, no comma") << "a.fr"
                                        << "http://a.fr"
                                        << "a.fr" << defMail;
        QTest::newRow("leading comma") << ",m.fr" << defHome << defCaption << "http://m.fr";
        QTest::newRow("both") << "a.fr/x,m.fr"
                              << "http://a.fr/x"
                              << "a.fr/x"
                              << "http://m.fr";
        QTest::newRow("comma only") << "," << defHome << defCaption << defMail;
        QTest::newRow("scheme kept") << "https://a.fr,ftp://m.fr"
                                     << "https://a.fr"
                                     << "https://a.fr"
                                     << "ftp://m.fr";
        QTest::newRow("port is a colon") << "a.fr:8080/,m.fr:81"
                                         << "a.fr:8080/"
                                         << "a.fr:8080/"
                                         << "m.fr:81";
        QTest::newRow("colon at end") << "a:,m"
                                      << "a:"
                                      << "a:"
                                      << "http://m";
        QTest::newRow("blank after comma kept") << "a.fr, m.fr"
                                                << "http://a.fr"
                                                << "a.fr"
                                                << "http:// m.fr";
        QTest::newRow("blank home field is not empty") << " ,m"
                                                       << "http:// "
                                                       << " "
                                                       << "http://m";
        QTest::newRow("third field ignored") << "a,m,z,w"
                                             << "http://a"
                                             << "a"
                                             << "http://m";
        QTest::newRow("quotes kept") << "\"a.fr\",'m'"
                                     << "http://\"a.fr\""
                                     << "\"a.fr\""
                                     << "http://'m'";
    }
    void addresses() {
        QFETCH(QString, commandLine);
        QFETCH(QString, home);
        QFETCH(QString, caption);
        QFETCH(QString, mail);
        FakeIni ini;
        const LinkTable table = BuildLinkTable(commandLine, ini.Reader());
        QCOMPARE(table.HomeUrl, home);
        QCOMPARE(table.Entry0Caption, caption);
        QCOMPARE(table.MailUrl, mail);
        QCOMPARE(table.LinkUrls[0], home);
        QVERIFY(table.Visible[0]);
    }

    void noSettingsShowsEntryZeroOnly() {
        FakeIni ini;
        const LinkTable table = BuildLinkTable(QString(), ini.Reader());
        for (int n = 1; n < LinkCount; ++n) {
            QVERIFY(!table.Visible[n]);
            QVERIFY(table.LinkTitles[n].isEmpty());
            QVERIFY(table.LinkUrls[n].isEmpty());
        }
        // Only titles are read when none is set.
        QCOMPARE(ini.keysRead, QStringList({"Liens/Titre1", "Liens/Titre2", "Liens/Titre3",
                                            "Liens/Titre4", "Liens/Titre5"}));
    }

    void linksWithGaps() {
        FakeIni ini;
        ini.liens = {{"Titre0", "zero"},       {"Adresse0", "z.fr"},
                     {"Titre2", "Deux"},       {"Adresse2", "deux.fr"},
                     {"Adresse3", "trois.fr"}, {"Titre4", "Quatre"},
                     {"Titre5", "Cinq"},       {"Adresse5", "https://cinq.fr"},
                     {"Titre6", "six"},        {"Adresse6", "six.fr"}};
        const LinkTable table = BuildLinkTable(QStringLiteral("a.fr"), ini.Reader());

        const std::array<bool, LinkCount> visible{true, false, true, false, true, true};
        QCOMPARE(table.Visible, visible);
        const std::array<QString, LinkCount> titles{"", "", "Deux", "", "Quatre", "Cinq"};
        QCOMPARE(table.LinkTitles, titles);
        // Addresses are taken as read: no scheme added; a missing one is empty.
        const std::array<QString, LinkCount> urls{"http://a.fr",    "", "deux.fr", "", "",
                                                  "https://cinq.fr"};
        QCOMPARE(table.LinkUrls, urls);
        // Titre0 and Titre6 are never read; an address is read only under a title.
        QCOMPARE(ini.keysRead,
                 QStringList({"Liens/Titre1", "Liens/Titre2", "Liens/Adresse2", "Liens/Titre3",
                              "Liens/Titre4", "Liens/Adresse4", "Liens/Titre5", "Liens/Adresse5"}));
    }

    void normalizeUrl_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("normalized");
        QTest::newRow("bare host") << "a.fr"
                                   << "http://a.fr";
        QTest::newRow("empty") << ""
                               << "http://";
        QTest::newRow("scheme") << "http://a.fr"
                                << "http://a.fr";
        QTest::newRow("colon first") << ":a"
                                     << ":a";
        QTest::newRow("mailto") << "mailto:x@a.fr"
                                << "mailto:x@a.fr";
        QTest::newRow("fullwidth colon is not a colon") << QString::fromUtf8("a\xEF\xBC\x9A"
                                                                             "b")
                                                        << QString::fromUtf8("http://a\xEF\xBC\x9A"
                                                                             "b");
    }
    void normalizeUrl() {
        QFETCH(QString, address);
        QFETCH(QString, normalized);
        QCOMPARE(NormalizeUrl(address), normalized);
    }

    void prepareCommandLine_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("prepared");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blanks only") << "   "
                                     << "";
        QTest::newRow("blanks and capitals") << "  WWW.A.FR/Page?Q=X "
                                             << "www.a.fr/page?q=x";
        QTest::newRow("inner blanks kept") << " a, b "
                                           << "a, b";
        QTest::newRow("tab kept") << "\tA\t"
                                  << "\ta\t";
        QTest::newRow("tab then blank") << " \t a "
                                        << "\t a";
        QTest::newRow("accented capitals")
            << QString::fromUtf8("\xC3\x89T\xC3\x89") << QString::fromUtf8("\xC3\xA9t\xC3\xA9");
    }
    void prepareCommandLine() {
        QFETCH(QString, given);
        QFETCH(QString, prepared);
        QCOMPARE(PrepareCommandLine(given), prepared);
    }
};

QTEST_GUILESS_MAIN(TestLinkTable)
#include "tst_linktable.moc"
