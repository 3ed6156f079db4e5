// The settings file: what reads yield, which bytes writes leave, files that cannot be read or
// written, and writers that die or run at once. The executable doubles as the writer process.
#include "settings/Ini.h"

#include "support/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace BrowserMod1;
using namespace testsupport;

namespace {
const QString kEmoji = u"\U0001F600"_qs;

QByteArray Utf16(const QString& text, bool littleEndian) {
    QStringEncoder encode(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                          QStringConverter::Flag::WriteBom);
    return encode(text);
}

QByteArray Garbage(int size) { // every byte value, from a fixed seed
    QRandomGenerator random(20240501);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

QByteArray HugeLine() {
    return "[Liens]\nTitre1=" + QByteArray(3 << 20, 'x') + "\n" +
           Garbage(1 << 20).replace('\n', ' ') + "\n[Main]\nWidth=7";
}

QByteArray BigFile(char letter) {
    return "; kept\n[Head]\nkeep=1\n[Big]\nvalue=" + QByteArray(300000, letter) + "\n[T]\nk=2\n";
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void read_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, const QByteArray& bytes, const QString& section,
                            const QString& key, const QString& value) {
            QTest::newRow(name) << bytes << section << key << value;
        };
        row("names in any case, CRLF", "[MAIN]\r\nWINDOWSTATE=2\r\n", "Main", "windowState", "2");
        row("blanks around = and [ ]", "  [ Main ] ; c\n  Left \t=   15 \t\n", "Main", "Left",
            "15");
        row("quotes taken off", "[s]\nk=\" a b \"\n", "s", "k", " a b ");
        row("unlike quotes stay", "[s]\nk=\"x'\n", "s", "k", "\"x'");
        row("; and # comments", "[s]\n;k=1\n  # k=3\nk=2\n", "s", "k", "2");
        row("first key wins", "[s]\nk=1\nK=2\n", "s", "k", "1");
        row("first section wins", "[s]\na=1\n[S]\nb=2\n", "s", "b", "");
        row("entry before any section", "k=1\n[s]\n", "s", "k", "");
        row("line without =", "[s]\njunk\nk=1\n", "s", "junk", "");
        row("section without ]", "[s\nk=1\n", "s", "k", "1");
        row("Windows-1252",
            "[Donn\xE9"
            "es]\ncl\xE9=caf\xE9 \x80\n",
            u"DONNÉES"_qs, u"CLÉ"_qs, u"café €"_qs);
        row("UTF-8, BOM, no last line end", "\xEF\xBB\xBF[s]\nk=caf\xC3\xA9", "s", "k", u"café"_qs);
        row("empty key lists the keys", "[M]\nA=2\n;B=0\nC = 1\n", "m", "",
            QString::fromUtf8("A\0C\0", 4));
        row("a 3 MB line reads cut", HugeLine(), "Liens", "Titre1", QString(1023, 'x'));
        row("a 3 MB line is skipped", HugeLine(), "Main", "Width", "7");
        row("1023 characters, pair not split",
            "[s]\nk=" + (QString(1022, u'é') + kEmoji + kEmoji).toUtf8(), "s", "k",
            QString(1022, u'é') + kEmoji);
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath("Orvane.ini"), bytes));
        QCOMPARE(IniRead(section, key, dir.filePath("Orvane.ini")), value);
    }

    // Every byte but the changed entry's is written back as it was.
    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const QByteArray& before, const QString& section,
                            const QString& key, const QString& value, const QByteArray& after) {
            QTest::newRow(name) << before << section << key << value << after;
        };
        row("replaced in place, CRLF and comment kept", "; c\r\n[Main]\r\n  Left = 1\r\nTop=2\r\n",
            "MAIN", "left", "v", "; c\r\n[Main]\r\n  Left=v\r\nTop=2\r\n");
        row("new key after the section's last entry", "[a]\nx=1\n\n; b\n[b]\n", "a", "z", "v",
            "[a]\nx=1\nz=v\n\n; b\n[b]\n");
        row("new section takes the file's CRLF", "[a]\r\nx=1\r\n", "b", "k", "v",
            "[a]\r\nx=1\r\n[b]\r\nk=v\r\n");
        row("empty value removes the key, BOM kept", "\xEF\xBB\xBF[a]\nx=1\n", "a", "x", "",
            "\xEF\xBB\xBF[a]\n");
        row("empty key removes the first section", "[a]\nx=1\n[A]\nx=2\n", "a", "", "x",
            "[A]\nx=2\n");
        row("empty section only flushes", "[a]\nx=1\n", "", "x", "v", "[a]\nx=1\n");
        row("new text in UTF-8", "", "Liens", "Titre1", u"Été €"_qs,
            "[Liens]\nTitre1=\xC3\x89t\xC3\xA9 \xE2\x82\xAC\n");
        row("600 emoji kept whole", "", "s", "k", kEmoji.repeated(600),
            "[s]\nk=" + kEmoji.repeated(600).toUtf8() + "\n");
        const QByteArray nuls("\0\0\n[Main]\n\x01\x02\xff\n\0Width=9\nWidth=1\n\x7f\0=\0\n", 36);
        row("NUL and control bytes", nuls, "Main", "Width", "2",
            QByteArray(nuls).replace("\nWidth=1\n", "\nWidth=2\n"));
        const QByteArray garbage = Garbage(64 << 10).replace('[', '(');
        row("random bytes inside a section", "[Main]\nWidth=4\n" + garbage + "\n[L]\n", "Main",
            "Width", "2", "[Main]\nWidth=2\n" + garbage + "\n[L]\n");
        row("Windows-1252 and broken UTF-8", "[Main]\r\nW=\xA0\xE9\xC3\r\n[L]\r\nA=\xF0\x9F\r\n",
            "L", "T", "D", "[Main]\r\nW=\xA0\xE9\xC3\r\n[L]\r\nA=\xF0\x9F\r\nT=D\r\n");
        row("last line ending in a lone CR", "[L]\r\nA=a\r", "L", "T", "D",
            "[L]\r\nA=a\r\nT=D\r\n");
        const QString text =
            u"; L\r\n[Liens]\r\nTitre1=Caf\u00E9 \U0001F600\r\n[Main]\r\nLeft=1\r\n"_qs;
        const QString written = QString(text).replace("Left=1", "Left=-15");
        row("UTF-16 LE, CRLF", Utf16(text, true), "Main", "Left", "-15", Utf16(written, true));
        row("UTF-16 BE, CRLF", Utf16(text, false), "Main", "Left", "-15", Utf16(written, false));
        row("UTF-8 with BOM", "\xEF\xBB\xBF" + text.toUtf8(), "Main", "Left", "-15",
            "\xEF\xBB\xBF" + written.toUtf8());
        const QByteArray cp1252 = "[Liens]\nTitre1=Caf\xE9 \x80\n";
        row("Windows-1252, new text in it", cp1252, "Main", "Top", u"\u00C9t\u00E9 \u20AC"_qs,
            cp1252 + "[Main]\nTop=\xC9t\xE9 \x80\n");
        row("Windows-1252 cannot hold it: refused", cp1252, "Main", "Top", kEmoji, cp1252);
        row("UTF-16 with an odd byte: refused", Utf16(text, true) + 'x', "Main", "Left", "-15",
            Utf16(text, true) + 'x');
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(before.isEmpty() || WriteBytes(file, before));
        IniWrite(section, key, value, file);
        QVERIFY(ReadBytes(file) == after);
        if (!key.isEmpty() && after != before) {
            QCOMPARE(IniRead(section, key, file), value);
        }
    }

    // Nothing stands, or nothing readable or writable stands, where the file should be: reads
    // give what can be read, writes change nothing and leave nothing behind.
    void refused_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"read-only file", "read-only folder", "mode 000", "a folder", "a FIFO",
              "a link to itself", "under a plain file", "missing folder", "empty name"}) {
            QTest::newRow(kind) << QString(kind);
        }
    }
    void refused() {
        QFETCH(QString, kind);
        if ((kind.startsWith("read-only") || kind == "mode 000") && !RunWithoutFileRights()) {
            return;
        }
        QTemporaryDir dir;
        const QString folder = dir.path();
        QString file = folder + "/Orvane.ini";
        const QByteArray path = QFile::encodeName(file), before = "[Main]\nWidth=1\n; kept\n";
        const auto giveBack = [&] {
            ::chmod(QFile::encodeName(folder).constData(), 0700);
            ::chmod(path.constData(), 0600);
        };
        const auto guardRights = qScopeGuard(giveBack);
        const bool whole = kind.startsWith("read-only") || kind == "mode 000";
        QVERIFY(!whole || WriteBytes(file, before));
        std::atomic<bool> heldUp = false;
        std::jthread guard;
        if (kind == "read-only file" || kind == "mode 000") {
            QCOMPARE(::chmod(path.constData(), kind == "mode 000" ? 0 : 0444), 0);
        } else if (kind == "read-only folder") {
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        } else if (kind == "a folder") {
            QVERIFY(QDir().mkdir(file));
        } else if (kind == "a FIFO") { // a read still waiting for a writer after 30 s
            QCOMPARE(::mkfifo(path.constData(), 0600), 0); // is let go, and the row fails
            guard = std::jthread([&](std::stop_token stop) {
                std::mutex mutex;
                std::unique_lock lock(mutex);
                std::condition_variable_any().wait_for(lock, stop, std::chrono::seconds(30),
                                                       [] { return false; });
                while (!stop.stop_requested()) {
                    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                    heldUp = heldUp || fd >= 0;
                    fd >= 0 ? ::close(fd) : ::usleep(1000);
                }
            });
        } else if (kind == "a link to itself") {
            QVERIFY(QFile::link(file, file));
        } else if (kind == "under a plain file") {
            QVERIFY(WriteBytes(folder + "/plain", "x"));
            file = folder + "/plain/Orvane.ini";
        } else {
            file = kind == "missing folder" ? folder + "/missing/Orvane.ini" : "";
        }
        const QString readable = kind.startsWith("read-only") ? "1" : "";
        QCOMPARE(IniRead("Main", "Width", file), readable);
        IniRead("Main", "", file);
        IniWrite("Main", "Width", "2", file);
        IniWrite("Main", "Left", "3", file);
        IniWrite("Main", "Width", "", file);
        IniWrite("Main", "", "", file);
        guard = {};
        QVERIFY2(!heldUp, "a read waited on the FIFO for a writer");
        QCOMPARE(IniRead("Main", "Width", file), readable);
        QCOMPARE(FolderEntries(folder).filter(".tmp"), QStringList());
        giveBack();
        QVERIFY(!whole || ReadBytes(file) == before);
    }

    void readCreatesNothing() {
        QTemporaryDir dir;
        IniFileName = dir.filePath("Orvane.ini");
        const auto forget = qScopeGuard([] { IniFileName.clear(); });
        QCOMPARE(IniReadDefault("Main", "WindowState"), QString());
        QCOMPARE(IniReadDefault("Main", ""), QString());
        IniWriteDefault("Main", "Width", "");
        IniWriteDefault("Main", "", "");
        IniWriteDefault("", "", "");
        QCOMPARE(FolderEntries(dir.path()), QStringList());
        IniWriteDefault("Main", "WindowState", "0");
        QCOMPARE(ReadBytes(IniFileName), QByteArray("[Main]\nWindowState=0\n"));
    }

    void linksAndPermissionsKept() {
        QTemporaryDir dir;
        const QString target = dir.filePath("real.ini"), link = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(target, "[Main]\n"));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(target, link));
        IniWrite("Main", "Width", "7", link);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadBytes(target), QByteArray("[Main]\nWidth=7\n"));
        QCOMPARE(QFileInfo(target).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }

    // The writer says each completed write; it is killed right after one, amid the next.
    void killedWriterLeavesOldOrNew() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QVERIFY(WriteBytes(file, BigFile('a')));
        QRandomGenerator random(7);
        for (int round = 0; round < 12; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {"--rewrite-forever", file});
            for (int written = 0, wanted = random.bounded(1, 4); written < wanted;) {
                written += writer.canReadLine() ? int(!writer.readLine().isEmpty()) : 0;
                QVERIFY(written == wanted || writer.canReadLine() ||
                        writer.waitForReadyRead(60000));
            }
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(60000));
            const QByteArray content = ReadBytes(file);
            const qsizetype at = content.indexOf("value=");
            QVERIFY2(at > 0 && content == BigFile(content.at(at + 6)),
                     "file missing, cut or mixed");
        }
        QVERIFY(!QFile::exists(file + ".tmp"));
    }

    void twoWritersLoseNoKey() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QProcess first, second;
        first.start(QCoreApplication::applicationFilePath(), {"--write-keys", file, "a"});
        second.start(QCoreApplication::applicationFilePath(), {"--write-keys", file, "b"});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        for (int i = 0; i < 40; ++i) {
            QCOMPARE(IniRead("Keys", "a" + QString::number(i), file), QString::number(i));
            QCOMPARE(IniRead("Keys", "b" + QString::number(i), file), QString::number(i));
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && argv[1] == std::string_view("--rewrite-forever")) {
        for (int round = 1;; ++round) {
            IniWrite("Big", "value", QString(300000, QChar('a' + round % 26)), argv[2]);
            std::puts("written");
            std::fflush(stdout);
        }
    }
    if (argc == 4 && argv[1] == std::string_view("--write-keys")) {
        for (int i = 0; i < 40; ++i) {
            IniWrite("Keys", argv[3] + QString::number(i), QString::number(i), argv[2]);
        }
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
