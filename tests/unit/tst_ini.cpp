// The settings file routines: which write each combination of empty arguments makes, and
// what reads yield.
#include "settings/Ini.h"

#include "support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace BrowserMod1;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {
const QByteArray kFile = "[Main]\nWindowState=2\nLeft=10\n[Liens]\nTitre1=A\n";
}

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
    }
    void longValues() {
        QFETCH(QString, stored);
        QFETCH(QString, read);
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        IniWrite("Liens", "Titre1", stored, file);
        QCOMPARE(IniRead("Liens", "Titre1", file), read);
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
