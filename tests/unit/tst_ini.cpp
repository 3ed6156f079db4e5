// The settings file routines: which write each combination of empty arguments makes, and
// what reads yield.
#include "settings/Ini.h"

#include "support/FileBytes.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace BrowserMod1;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {
const QByteArray kFile = "[Main]\nWindowState=2\nLeft=10\n[Liens]\nTitre1=A\n";

// The text in UTF-16 after its byte order mark.
QByteArray Utf16(const QString& text, bool littleEndian) {
    QStringEncoder encode(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                          QStringConverter::Flag::WriteBom);
    return encode(text);
}
} // namespace

class TestIni : public QObject {
    Q_OBJECT
private slots:
    void write_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("store") << "Main"
                               << "Top"
                               << "5"
                               << QByteArray("[Main]\nWindowState=2\nLeft=10\nTop=5\n[Liens]\n"
                                             "Titre1=A\n");
        QTest::newRow("replace") << "main"
                                 << "LEFT"
                                 << "-3"
                                 << QByteArray("[Main]\nWindowState=2\nLeft=-3\n[Liens]\n"
                                               "Titre1=A\n");
        QTest::newRow("empty value removes the key")
            << "Main"
            << "Left"
            << "" << QByteArray("[Main]\nWindowState=2\n[Liens]\nTitre1=A\n");
        QTest::newRow("empty key removes the section") << "Main"
                                                       << ""
                                                       << "x" << QByteArray("[Liens]\nTitre1=A\n");
        QTest::newRow("empty section only flushes") << ""
                                                    << "Left"
                                                    << "x" << kFile;
        QTest::newRow("a space is a value")
            << "Liens"
            << "Titre1"
            << " "
            << QByteArray("[Main]\nWindowState=2\nLeft=10\n[Liens]\n"
                          "Titre1= \n");
    }
    void write() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(file, kFile));
        IniWrite(section, key, value, file);
        QCOMPARE(ReadBytes(file), after);
    }

    void read_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("value") << "Main"
                               << "WindowState"
                               << "2";
        QTest::newRow("other case") << "MAIN"
                                    << "left"
                                    << "10";
        QTest::newRow("missing key") << "Main"
                                     << "Top"
                                     << "";
        QTest::newRow("missing section") << "Other"
                                         << "Left"
                                         << "";
        QTest::newRow("empty key lists the keys")
            << "Main"
            << "" << QString::fromUtf8("WindowState\0Left\0", 17);
        QTest::newRow("empty key, missing section") << "Other"
                                                    << ""
                                                    << "";
        QTest::newRow("a space is a key") << "Main"
                                          << " "
                                          << "";
    }
    void read() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(file, kFile));
        QCOMPARE(IniRead(section, key, file), value);
    }

    void longValues_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("1023") << QString(1023, 'x') << QString(1023, 'x');
        QTest::newRow("1024") << QString(1024, 'x') << QString(1023, 'x');
        QTest::newRow("5000 accented") << QString(5000, u'é') << QString(1023, u'é');
        const QString emoji = u"\U0001F600"_qs;
        QTest::newRow("600 emoji, whole") << emoji.repeated(600) << emoji.repeated(600);
        QTest::newRow("1100 emoji, 1023 of them") << emoji.repeated(1100) << emoji.repeated(1023);
    }
    void longValues() {
        QFETCH(QString, stored);
        QFETCH(QString, read);
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        IniWrite("Liens", "Titre1", stored, file);
        QCOMPARE(IniRead("Liens", "Titre1", file), read);
    }

    // Files as a Windows editor saves them: read, and written back in their own encoding, byte
    // order mark and line ends, every byte but the changed key's as it was.
    void encodings_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QString text =
            u"; Liens\r\n[Liens]\r\nTitre1=Caf\u00E9 \U0001F600\r\n[Main]\r\nLeft=1\r\n"_qs;
        const QString written = QString(text).replace("Left=1", "Left=-15");
        const QString added = text + u"Top=\u00C9t\u00E9\r\n"_qs;
        QTest::newRow("UTF-16 LE, CRLF") << Utf16(text, true) << "Left"
                                         << "-15" << Utf16(written, true);
        QTest::newRow("UTF-16 BE, CRLF") << Utf16(text, false) << "Left"
                                         << "-15" << Utf16(written, false);
        QTest::newRow("UTF-16 LE, new key")
            << Utf16(text, true) << "Top" << u"\u00C9t\u00E9"_qs << Utf16(added, true);
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + text.toUtf8() << "Left"
                                        << "-15"
                                        << "\xEF\xBB\xBF" + written.toUtf8();
        const QByteArray cp1252 = "[Liens]\nTitre1=Caf\xE9 \x80\n[Main]\nLeft=1\n";
        QTest::newRow("Windows-1252, new text in it")
            << cp1252 << "Top" << u"\u00C9t\u00E9 \u20AC"_qs << cp1252 + "Top=\xC9t\xE9 \x80\n";
        QTest::newRow("Windows-1252 cannot hold it: refused")
            << cp1252 << "Top" << u"\U0001F600"_qs << cp1252;
        const QByteArray odd = Utf16(text, true) + 'x';
        QTest::newRow("UTF-16 with an odd byte: refused") << odd << "Left"
                                                          << "-15" << odd;
    }
    void encodings() {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(file, before));
        QCOMPARE(IniRead("liens", "titre1", file),
                 before.startsWith("[") ? u"Café €"_qs : u"Café \U0001F600"_qs);
        IniWrite("Main", key, value, file);
        QCOMPARE(ReadBytes(file), after);
        if (after != before) {
            QCOMPARE(IniRead("Main", key, file), value);
        }
    }

    // The sample file of the README, copied as it stands, reads as it says.
    void readmeSample_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("state") << "Main"
                               << "WindowState"
                               << "0";
        QTest::newRow("width") << "Main"
                               << "Width"
                               << "15600";
        QTest::newRow("third link's title") << "Liens"
                                            << "Titre3"
                                            << "Support";
        QTest::newRow("third link's address") << "Liens"
                                              << "Adresse3"
                                              << "support.example/";
    }
    void readmeSample() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        // The first indented block after the line that says where comments go.
        const QByteArray readme =
            ReadBytes(qEnvironmentVariable("ORVANE_SOURCE_DIR") + "/README.md");
        const qsizetype from = readme.indexOf("comments go on lines of their own");
        QVERIFY(from >= 0);
        QByteArray sample;
        bool inBlock = false;
        for (const QByteArray& line : readme.sliced(from).split('\n').sliced(1)) {
            if (line.startsWith("    ")) {
                inBlock = true;
                sample += line.sliced(4) + '\n';
            } else if (inBlock && !line.isEmpty()) {
                break;
            }
        }
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(file, sample));
        QCOMPARE(IniRead(section, key, file), value);
    }

    void defaultFile() {
        QTemporaryDir dir;
        IniFileName = dir.filePath("Orvane.ini");
        QCOMPARE(IniReadDefault("Main", "WindowState"), QString());
        QCOMPARE(QDir(dir.path()).isEmpty(), true); // a read creates nothing
        IniWriteDefault("Main", "WindowState", "0");
        QCOMPARE(ReadBytes(IniFileName), QByteArray("[Main]\nWindowState=0\n"));
        QCOMPARE(IniReadDefault("main", "windowstate"), QString("0"));
        IniFileName.clear();
    }
};

QTEST_GUILESS_MAIN(TestIni)
#include "tst_ini.moc"
