// Command lines that no host would send: a megabyte long, made of commas, with bytes that are
// not UTF-8, with NUL characters and lone surrogates. The link table is the one the rules give,
// in bounded time.
#include "app/LinkTable.h"

#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace BrowserMod1;

namespace {

constexpr qint64 kBoundMs = 5000;
const QString kHome = QString::fromUtf16(DefaultHomeUrl);
const QString kMail = QString::fromUtf16(DefaultMailUrl);

QString NoLinks(const QString&, const QString&) {
    return {};
}

// The bytes as the program's entry turns an argument into text.
QString FromArgument(const QByteArray& bytes) {
    return QString::fromLocal8Bit(bytes);
}

} // namespace

class TestHostileCommandLine : public QObject {
    Q_OBJECT
private slots:
    void table_data() {
        QTest::addColumn<QString>("commandLine"); // as the host passed it
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("mail");
        QTest::addColumn<QString>("caption");
        const QString megabyte(1 << 20, u'a');
        QTest::newRow("a megabyte of home address")
            << "  " + megabyte + "  "
            << "http://" + megabyte << "http://" + kMail << megabyte;
        QTest::newRow("a megabyte of commas")
            << QString(1 << 20, u',') << "http://" + kHome << "http://" + kMail << "Site Ulmeco";
        QTest::newRow("a megabyte in the third field") << "h,m," + megabyte << "http://h"
                                                       << "http://m"
                                                       << "h";
        QTest::newRow("a megabyte of blanks")
            << QString(1 << 20, u' ') << "http://" + kHome << "http://" + kMail << "Site Ulmeco";
        QTest::newRow("a colon a megabyte in") << megabyte + ":," + megabyte << megabyte + ":"
                                               << "http://" + megabyte << megabyte + ":";
        const QString replaced = QString(QChar::ReplacementCharacter);
        QTest::newRow("bytes that are not UTF-8")
            << FromArgument("H\xE9te.Example/,\xFF\xFEmail:1")
            << "http://h" + replaced + "te.example/" << replaced + replaced + "mail:1"
            << "h" + replaced + "te.example/";
        QTest::newRow("NUL characters")
            << QString::fromUtf16(u"a\0b,\0,c", 7) << QString::fromUtf16(u"http://a\0b", 10)
            << QString::fromUtf16(u"http://\0", 8) << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("lone surrogates")
            << QString::fromUtf16(u"\xD800x,\xDC00", 4) << QString::fromUtf16(u"http://\xD800x", 9)
            << QString::fromUtf16(u"http://\xDC00", 8) << QString::fromUtf16(u"\xD800x", 2);
        QTest::newRow("tabs and line breaks are kept") << "\thome\n,\r\nmail "
                                                       << "http://\thome\n"
                                                       << "http://\r\nmail"
                                                       << "\thome\n";
    }
    void table() {
        QFETCH(QString, commandLine);
        QFETCH(QString, home);
        QFETCH(QString, mail);
        QFETCH(QString, caption);
        QElapsedTimer timer;
        timer.start();
        const LinkTable table = BuildLinkTable(PrepareCommandLine(commandLine), NoLinks);
        QVERIFY2(timer.elapsed() < kBoundMs, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(table.HomeUrl == home);
        QVERIFY(table.MailUrl == mail);
        QVERIFY(table.Entry0Caption == caption);
        QVERIFY(table.LinkUrls[0] == table.HomeUrl);
        for (int n = 1; n < LinkCount; ++n) {
            QVERIFY(!table.Visible[n] && table.LinkTitles[n].isEmpty() &&
                    table.LinkUrls[n].isEmpty());
        }
    }

    // Links of a megabyte in the settings file reach the table cut as the reader cuts them.
    void hugeLinksFromTheSettingsFile() {
        QTemporaryDir dir;
        IniFileName = dir.filePath("Orvane.ini");
        const QByteArray huge(1 << 20, 'l');
        QVERIFY(testsupport::WriteBytes(
            IniFileName, "[Liens]\nTitre2=" + huge + "\nAdresse2=" + huge + "\nTitre5=\x01\xFF\n"));
        const LinkTable table = BuildLinkTable("a,b", IniReadDefault);
        QCOMPARE(table.LinkTitles[2], QString(1023, u'l'));
        QCOMPARE(table.LinkUrls[2], QString(1023, u'l'));
        QVERIFY(table.Visible[2] && table.Visible[5] && !table.Visible[1]);
        QCOMPARE(table.LinkTitles[5], QString::fromUtf16(u"\u0001\u00FF"));
        QCOMPARE(table.LinkUrls[5], QString());
        IniFileName.clear();
    }
};

QTEST_GUILESS_MAIN(TestHostileCommandLine)
#include "tst_hostile_cmdline.moc"
