// The profile functions on real files: reads that create nothing, refused writes that leave
// the file alone, permissions and links kept, writers killed mid-write, and two processes
// writing at once. The executable doubles as the writer process (see main).
#include "platform/Profile.h"

#include "support/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;
using testsupport::FolderEntries;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

const QString kSection = "Main";
const QString kKey = "Width";
constexpr int kBigValueLength = 300000;

bool Write(const QString& section, const QString& key, const QString& value, const QString& file) {
    return WritePrivateProfileString(&section, &key, &value, file);
}

QString Read(const QString& section, const QString& key, const QString& file) {
    QString value;
    GetPrivateProfileString(&section, &key, "", value, 1024, file);
    return value;
}

// The whole file while the big value is made of `letter`.
QByteArray BigFile(char letter) {
    return "; kept\n[Head]\nkeep=1\n[Big]\nvalue=" + QByteArray(kBigValueLength, letter) +
           "\n[Tail]\nkeep=2\n";
}

// Writer process: rewrites the big value with the letters a to z in turn until killed. Says
// "writing" once it is up, so that the kills fall among the writes.
int RewriteForever(const QString& file) {
    std::fputs("writing\n", stdout);
    std::fflush(stdout);
    for (int round = 1;; ++round) {
        const QString value(kBigValueLength, QChar('a' + round % 26));
        if (!Write("Big", "value", value, file)) {
            return 1;
        }
    }
}

// Writer process: writes keys <prefix>0 to <prefix><count - 1>, one write each.
int WriteKeys(const QString& file, const QString& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        if (!Write("Keys", prefix + QString::number(i), QString::number(i), file)) {
            return 1;
        }
    }
    return 0;
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

// Makes a file or folder unwritable for this process, as root too (immutable attribute).
bool MakeReadOnly(const QString& path, bool folder) {
    QFile::setPermissions(path, folder ? QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                             QFile::ExeGroup
                                       : QFile::ReadOwner | QFile::ReadGroup);
    return !RunningAsRoot() || QProcess::execute("chattr", {"+i", path}) == 0;
}

void MakeWritable(const QString& path) {
    if (RunningAsRoot()) {
        QProcess::execute("chattr", {"-i", path});
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void readOfMissingFileCreatesNothing() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QString returned = "old";
        const QString section = kSection;
        QCOMPARE(GetPrivateProfileString(&section, &kKey, "", returned, 1024, file), 0);
        QCOMPARE(returned, QString());
        QCOMPARE(GetPrivateProfileString(&section, &kKey, "dflt  ", returned, 1024, file), 4);
        QCOMPARE(returned, QString("dflt"));
        QCOMPARE(GetPrivateProfileString(&section, nullptr, "", returned, 1024, file), 0);
        // Removals and the flush have nothing to do either.
        QVERIFY(WritePrivateProfileString(&section, &kKey, nullptr, file));
        QVERIFY(WritePrivateProfileString(&section, nullptr, nullptr, file));
        QVERIFY(WritePrivateProfileString(nullptr, nullptr, nullptr, file));
        QCOMPARE(FolderEntries(dir.path()), QStringList());
    }

    void firstWriteCreatesTheFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(Write("Main", "WindowState", "0", file));
        QCOMPARE(ReadBytes(file), QByteArray("[Main]\nWindowState=0\n"));
        QCOMPARE(Read("MAIN", "windowstate", file), QString("0"));
        QCOMPARE(QFileInfo(file).permissions() & QFile::WriteOwner, QFile::WriteOwner);
    }

    void roundTripKeepsTheRestOfTheFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        const QByteArray before = "; Orvane\r\n[LIENS]\r\nTitre1 = \"Caf\xE9\"\r\n\r\n"
                                  "[MAIN]\r\nWIDTH=1\r\n# end\r\n";
        QVERIFY(WriteBytes(file, before));
        QCOMPARE(Read("Liens", "Titre1", file), u"Café"_qs);
        QVERIFY(Write(kSection, kKey, "4000", file));
        QVERIFY(Write(kSection, "Left", "-15", file));
        QCOMPARE(ReadBytes(file), "; Orvane\r\n[LIENS]\r\nTitre1 = \"Caf\xE9\"\r\n\r\n"
                                  "[MAIN]\r\nWIDTH=4000\r\nLeft=-15\r\n# end\r\n");
        QVERIFY(WritePrivateProfileString(&kSection, &kKey, nullptr, file));
        const QString left = "left";
        QVERIFY(WritePrivateProfileString(&kSection, &left, nullptr, file));
        QCOMPARE(ReadBytes(file), QByteArray(before).replace("WIDTH=1\r\n", ""));
        QVERIFY(WritePrivateProfileString(&kSection, nullptr, nullptr, file));
        QCOMPARE(ReadBytes(file),
                 QByteArray("; Orvane\r\n[LIENS]\r\nTitre1 = \"Caf\xE9\"\r\n\r\n"));
    }

    void listsKeysAndSections() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(file, "[Main]\nWindowState=2\nLeft=1\n[Liens]\n"));
        QString returned;
        QCOMPARE(GetPrivateProfileString(&kSection, nullptr, "", returned, 1024, file), 17);
        QCOMPARE(returned, QString::fromUtf8("WindowState\0Left\0", 17));
        QCOMPARE(GetPrivateProfileString(nullptr, nullptr, "", returned, 1024, file), 11);
        QCOMPARE(returned, QString::fromUtf8("Main\0Liens\0", 11));
    }

    void refusedWrite_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("read-only file") << "file";
        QTest::newRow("read-only folder") << "folder";
    }
    void refusedWrite() {
        QFETCH(QString, where);
        QTemporaryDir dir;
        const QString folder = dir.filePath("settings");
        QVERIFY(QDir().mkdir(folder));
        const QString file = folder + "/Orvane.ini";
        const QByteArray before = "[Main]\nWidth=1\n";
        QVERIFY(WriteBytes(file, before));
        const QString locked = where == "file" ? file : folder;
        if (!MakeReadOnly(locked, where == "folder")) {
            MakeWritable(locked);
            QSKIP("running as root without the right to set the immutable attribute");
        }
        const bool written = Write(kSection, kKey, "2", file);
        const QStringList entries = FolderEntries(folder);
        MakeWritable(locked);
        QVERIFY(!written);
        QCOMPARE(ReadBytes(file), before);
        QVERIFY(!entries.contains("Orvane.ini.tmp"));
    }

    // Places that cannot hold a file, whoever asks.
    void writeWhereNoFileCanBe_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("under a plain file") << "plain/Orvane.ini";
        QTest::newRow("under /proc") << "/proc/self/Orvane.ini";
        QTest::newRow("missing folder") << "missing/Orvane.ini";
        QTest::newRow("a folder") << ".";
        QTest::newRow("empty name") << "";
    }
    void writeWhereNoFileCanBe() {
        QFETCH(QString, file);
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath("plain"), "x"));
        const QString path = file.isEmpty() || file.startsWith('/') ? file : dir.filePath(file);
        QVERIFY(!Write(kSection, kKey, "1", path));
        QCOMPARE(Read(kSection, kKey, path), QString());
        QCOMPARE(ReadBytes(dir.filePath("plain")), QByteArray("x"));
    }

    void permissionsAndLinksKept() {
        QTemporaryDir dir;
        const QString target = dir.filePath("real.ini");
        const QString link = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(target, "[Main]\n"));
        const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(target, mode));
        QVERIFY(QFile::link(target, link));
        QVERIFY(Write(kSection, kKey, "7", link));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadBytes(target), QByteArray("[Main]\nWidth=7\n"));
        QCOMPARE(QFile::permissions(target) & ~(QFile::ReadUser | QFile::WriteUser), mode);
    }

    // A writer killed at any moment leaves the old or the new content, whole.
    void killedWriterLeavesAWholeFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(file, BigFile('a')));
        QRandomGenerator random(7);
        QSet<char> seen;
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < 40 && timer.elapsed() < 6000; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {"--rewrite-forever", file});
            QVERIFY(writer.waitForReadyRead(10000));
            QThread::msleep(random.bounded(40));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            const QByteArray content = ReadBytes(file);
            QVERIFY2(content.size() > 40, "file missing or empty");
            const char letter = content.at(content.indexOf("value=") + 6);
            QVERIFY2(content == BigFile(letter), "file cut or mixed");
            seen.insert(letter);
        }
        QVERIFY2(seen.size() > 1, "the writer never completed a write");
        QVERIFY(Write("Big", "value", "short", file));
        QVERIFY(!QFile::exists(file + ".tmp"));
    }

    // Two processes writing different keys: no update lost.
    void concurrentWritersLoseNothing() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        constexpr int count = 60;
        QProcess first;
        QProcess second;
        const QString program = QCoreApplication::applicationFilePath();
        first.start(program, {"--write-keys", file, "a", QString::number(count)});
        second.start(program, {"--write-keys", file, "b", QString::number(count)});
        QVERIFY(first.waitForFinished(20000));
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(Read("Keys", "a" + QString::number(i), file), QString::number(i));
            QCOMPARE(Read("Keys", "b" + QString::number(i), file), QString::number(i));
        }
    }
};

int main(int argc, char** argv) {
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i) {
            list << QString::fromLocal8Bit(argv[i]);
        }
        return list;
    }();
    if (arguments.size() == 2 && arguments[0] == "--rewrite-forever") {
        return RewriteForever(arguments[1]);
    }
    if (arguments.size() == 4 && arguments[0] == "--write-keys") {
        return WriteKeys(arguments[1], arguments[2], arguments[3].toInt());
    }
    QCoreApplication app(argc, argv);
    TestProfile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_profile.moc"
