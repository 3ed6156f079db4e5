// Settings files that others wrote or broke: megabytes long, binary garbage and NUL bytes,
// nothing readable in the file's place, read-only files and folders. Reads give the right value
// or "", writes keep every other byte of the file or leave it as it was.
#include "settings/Ini.h"

#include "support/FileBytes.h"
#include "support/ReadOnlyPath.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace BrowserMod1;
using testsupport::FolderEntries;
using testsupport::ReadBytes;
using testsupport::ReadOnlyPath;
using testsupport::WriteBytes;

namespace {

// A read or write of a file of megabytes takes a small multiple of the time to read it; this
// leaves room for a loaded machine and a sanitizer build.
constexpr qint64 kBoundMs = 8000;

// About 5 MB of sections, with "Main" in the middle and "Liens" at the end.
QByteArray HugeFile() {
    QByteArray text;
    text.reserve(6 << 20);
    for (int i = 0; i < 150000; ++i) {
        if (i == 75000) {
            text += "[Main]\r\nWidth=4000\r\nLeft=15\r\n";
        }
        text += "[Filler" + QByteArray::number(i) + "]\r\nKey = Value " + QByteArray::number(i) +
                "\r\n";
    }
    return text + "[Liens]\r\nTitre1=Docs\r\n";
}

// Bytes of every value, line ends and brackets included, from a fixed seed.
QByteArray Garbage(int size) {
    QRandomGenerator random(20240501);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

// The bytes of a literal, NULs included.
template <qsizetype N> QByteArray Bytes(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

} // namespace

class TestHostileProfile : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir_.isValid());
        file_ = dir_.filePath("Orvane.ini");
        if (QFileInfo(file_).isDir() && !QFileInfo(file_).isSymLink()) {
            QVERIFY(QDir(file_).removeRecursively());
        } else {
            QFile::remove(file_);
        }
    }

    void hugeFileReadsAndWritesInBoundedTime() {
        const QByteArray before = HugeFile();
        QVERIFY(before.size() > 4 << 20);
        QVERIFY(WriteBytes(file_, before));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(IniRead("Main", "Width", file_), QString("4000"));
        QCOMPARE(IniRead("liens", "TITRE1", file_), QString("Docs"));
        QCOMPARE(IniRead("Filler149999", "key", file_), QString("Value 149999"));
        QCOMPARE(IniRead("Main", "Height", file_), QString());
        QCOMPARE(IniRead("Missing", "Width", file_), QString());
        QVERIFY2(timer.elapsed() < kBoundMs, qPrintable(QString::number(timer.elapsed())));

        timer.restart();
        IniWrite("Main", "Width", "15600", file_);
        IniWrite("Main", "Height", "9000", file_);
        QVERIFY2(timer.elapsed() < kBoundMs, qPrintable(QString::number(timer.elapsed())));
        QByteArray expected = before;
        expected.replace("Width=4000\r\nLeft=15\r\n", "Width=15600\r\nLeft=15\r\nHeight=9000\r\n");
        QVERIFY(ReadBytes(file_) == expected);
    }

    void hugeLineReadsCut() {
        const QByteArray before = "[Liens]\nTitre1=" + QByteArray(3 << 20, 'x') + "\n" +
                                  Garbage(1 << 20).replace('\n', ' ') + "\n[Main]\nWidth=7";
        QVERIFY(WriteBytes(file_, before));
        QCOMPARE(IniRead("Liens", "Titre1", file_), QString(1023, u'x'));
        QCOMPARE(IniRead("Main", "Width", file_), QString("7"));
        IniWrite("Main", "Left", "1", file_);
        QVERIFY(ReadBytes(file_) == before + "\nLeft=1\n");
    }

    // Each row: the file, the value that Main/Width reads, and the file after Width is set to
    // 2 and Liens/Titre1 to "Docs": the other lines byte for byte as they were.
    void garbageKeptByteForByte_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QByteArray>("after");
        const QByteArray nuls =
            Bytes("\0\0\n[Main]\n\x01\x02\x03\xff\xfe\n\0Width=9\nWidth=1\n\x7f\0=\0\n");
        QTest::newRow("NUL and control bytes")
            << nuls << "1"
            << QByteArray(nuls).replace("\nWidth=1\n", "\nWidth=2\n") + "[Liens]\nTitre1=Docs\n";
        const QByteArray garbage = Garbage(64 << 10);
        QTest::newRow("random bytes before the sections")
            << garbage + "\n[Main]\nWidth=3\n"
            << "3" << garbage + "\n[Main]\nWidth=2\n[Liens]\nTitre1=Docs\n";
        QTest::newRow("random bytes inside a section")
            << "[Main]\nWidth=4\n" + QByteArray(garbage).replace('[', '(') + "\n[Liens]\n"
            << "4"
            << "[Main]\nWidth=2\n" + QByteArray(garbage).replace('[', '(') +
                   "\n[Liens]\nTitre1=Docs\n";
        QTest::newRow("Windows-1252 and broken UTF-8")
            << QByteArray("[Main]\r\nWidth=\xA0\xE9\xC3\r\n[Liens]\r\nAdresse1=\xF0\x9F\r\n")
            << QString::fromUtf16(u"\u00A0\u00E9\u00C3")
            << QByteArray("[Main]\r\nWidth=2\r\n[Liens]\r\nAdresse1=\xF0\x9F\r\n"
                          "Titre1=Docs\r\n");
        QTest::newRow("last line ending in a lone CR")
            << QByteArray("[Main]\r\nWidth=5\r\n[Liens]\r\nAdresse1=a\r") << "5"
            << QByteArray("[Main]\r\nWidth=2\r\n[Liens]\r\nAdresse1=a\r\nTitre1=Docs\r\n");
        QTest::newRow("doubled CR, byte order mark")
            << QByteArray("\xEF\xBB\xBF[Liens]\r\nAdresse1=a\r\r\n[Main]\r\nWidth=6\r") << "6"
            << QByteArray("\xEF\xBB\xBF[Liens]\r\nAdresse1=a\r\r\nTitre1=Docs\r\n[Main]\r\n"
                          "Width=2\r");
        QTest::newRow("section and entry on one line")
            << QByteArray("[Main]\tWidth=8") << ""
            << QByteArray("[Main]\tWidth=8\nWidth=2\n[Liens]\nTitre1=Docs\n");
    }
    void garbageKeptByteForByte() {
        QFETCH(QByteArray, before);
        QFETCH(QString, width);
        QFETCH(QByteArray, after);
        QVERIFY(WriteBytes(file_, before));
        QCOMPARE(IniRead("Main", "Width", file_), width);
        const QString address = IniRead("Liens", "Adresse1", file_);
        QCOMPARE(address.isEmpty(), !before.contains("Adresse1"));
        IniWrite("Main", "Width", "2", file_);
        IniWrite("Liens", "Titre1", "Docs", file_);
        QCOMPARE(IniRead("Main", "Width", file_), QString("2"));
        QCOMPARE(IniRead("Liens", "Titre1", file_), QString("Docs"));
        QCOMPARE(IniRead("Liens", "Adresse1", file_), address);
        QCOMPARE(ReadBytes(file_), after);
    }

    // Something that cannot be read stands where the file should be.
    void unreadable_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no read permission") << "mode 000";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a FIFO") << "fifo";
        QTest::newRow("a link to itself") << "loop";
    }
    void unreadable() {
        QFETCH(QString, kind);
        const QByteArray path = QFile::encodeName(file_);
        if (kind == "mode 000") {
            if (testsupport::RunningAsRoot()) {
                QSKIP("root reads whatever the permission bits say");
            }
            QVERIFY(WriteBytes(file_, "[Main]\nWidth=1\n"));
            QVERIFY(::chmod(path.constData(), 0) == 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(file_));
        } else if (kind == "fifo") {
            QVERIFY(::mkfifo(path.constData(), 0600) == 0);
        } else {
            QVERIFY(QFile::link(file_, file_));
        }
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(IniRead("Main", "Width", file_), QString());
        QCOMPARE(IniRead("Main", "", file_), QString());
        IniWrite("Main", "Width", "2", file_);
        IniWrite("Main", "", "", file_);
        QVERIFY(timer.elapsed() < kBoundMs); // nothing waits on a FIFO's writer
        const QFileInfo info(file_);
        QCOMPARE(info.isDir(), kind == "folder");
        QCOMPARE(info.isSymLink(), kind == "loop");
        QCOMPARE(info.isFile(), kind == "mode 000");
        QVERIFY(!FolderEntries(dir_.path()).contains("Orvane.ini.tmp"));
        if (kind == "mode 000") {
            QVERIFY(::chmod(path.constData(), 0600) == 0);
            QCOMPARE(ReadBytes(file_), QByteArray("[Main]\nWidth=1\n"));
        }
    }

    void readOnlyRefusesWrites_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }
    void readOnlyRefusesWrites() {
        QFETCH(bool, folder);
        const QString settings = dir_.filePath("settings");
        QVERIFY(QDir().mkpath(settings));
        const QString file = settings + "/Orvane.ini";
        const QByteArray before = "[Main]\nWidth=1\n; kept\n";
        QVERIFY(WriteBytes(file, before));
        QStringList entries;
        {
            const ReadOnlyPath readOnly(folder ? settings : file);
            if (!readOnly.Active()) {
                QSKIP("running as root without the right to set the immutable attribute");
            }
            IniWrite("Main", "Width", "2", file);
            IniWrite("Main", "Left", "3", file);
            IniWrite("Main", "Width", "", file);
            IniWrite("Main", "", "", file);
            QCOMPARE(IniRead("Main", "Width", file), QString("1"));
            entries = FolderEntries(settings);
        }
        QCOMPARE(ReadBytes(file), before);
        QVERIFY(!entries.contains("Orvane.ini.tmp"));
        QVERIFY(QDir(settings).removeRecursively());
    }

private:
    QTemporaryDir dir_;
    QString file_;
};

QTEST_GUILESS_MAIN(TestHostileProfile)
#include "tst_hostile_profile.moc"
