// The settings file: what reads yield, which bytes writes leave, files that cannot be read or
// written, and writers that die or run at once. The executable doubles as the writer process.
#include "settings/Ini.h"

#include "support/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
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

QByteArray BigFile(char letter) {
    return "; kept\n[Head]\nkeep=1\n[Big]\nvalue=" + QByteArray(300000, letter) + "\n[T]\nk=2\n";
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    // Files on disk (the rules are fuzzed in memory): writes leave the other bytes as they were.
    void file_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("op");        // "section|key" reads, "section|key|value" writes
        QTest::addColumn<QVariant>("expected"); // the value read, or the file's bytes after
        const auto row = [](const char* name, QByteArray before, QString op, QVariant expected) {
            QTest::newRow(name) << before << op << expected;
        };
        const auto utf16 = [](const QString& text, bool le) -> QByteArray {
            return QStringEncoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                                  QStringConverter::Flag::WriteBom)(text);
        };
        const QByteArray huge = "[L]\nT=" + QByteArray(3 << 20, 'x') + "\n[Main]\nWidth=7";
        const QString pair = QString(1022, u'é') + kEmoji;
        QByteArray bytes, cp = "[L]\nT=Caf\xE9 \x80\n";
        for (int i = 0; i < 256 * 4; ++i) { // every byte value, '[' aside
            bytes += char(i % 256 == '[' ? 0 : i % 256);
        }
        const QString text = u"; L\r\n[Liens]\r\nT=Caf\u00E9 \U0001F600\r\n[M]\r\nLeft=1\r\n"_qs;
        const QString written = QString(text).replace("Left=1", "Left=-15");
        row("no file: a read creates none", "", "M|k", "");
        row("no file: a removal creates none", "", "M|k|", "");
        row("Windows-1252 on disk", cp, "l|t", u"Café €"_qs);
        row("a 3 MB line reads cut", huge, "L|T", QString(1023, 'x'));
        row("a 3 MB line is skipped", huge, "Main|Width", "7");
        row("1023 characters, pair not split", "[s]\nk=" + (pair + kEmoji).toUtf8(), "s|k", pair);
        row("empty value removes the key, BOM kept", "\xEF\xBB\xBF[a]\nx=1\n", "a|x|",
            "\xEF\xBB\xBF[a]\n"_qba);
        row("through a link: link and mode kept", "[Main]\n", "Main|Width|7", "[Main]\nWidth=7\n");
        row("new text in UTF-8", "", u"L|T|Été €"_qs, u"[L]\nT=Été €\n"_qs.toUtf8());
        row("unknown bytes kept", "[M]\nW=4\n" + bytes, "M|W|2", "[M]\nW=2\n" + bytes);
        row("last line ending in a lone CR", "[L]\r\nA=a\r", "L|T|D", "[L]\r\nA=a\r\nT=D\r\n");
        row("UTF-16 LE", utf16(text, true), "M|Left|-15", utf16(written, true));
        row("UTF-16 BE", utf16(text, false), "M|Left|-15", utf16(written, false));
        row("UTF-8 with BOM", "\xEF\xBB\xBF" + text.toUtf8(), "M|Left|-15",
            "\xEF\xBB\xBF" + written.toUtf8());
        row("Windows-1252 new text", cp, u"M|T|\u00C9t\u00E9 \u20AC"_qs,
            cp + "[M]\nT=\xC9t\xE9 \x80\n");
        row("Windows-1252 cannot hold it: refused", cp, "M|T|" + kEmoji, cp);
        row("UTF-16, odd byte: refused", utf16(text, true) + 'x', "M|L|1", utf16(text, true) + 'x');
    }
    void file() {
        QFETCH(QByteArray, before);
        QFETCH(QString, op);
        QFETCH(QVariant, expected);
        QTemporaryDir dir;
        const bool link = QByteArray(QTest::currentDataTag()).startsWith("through a link");
        const QString file = dir.filePath("Orvane.ini"), real = link ? dir.filePath("real") : file;
        const QStringList part = op.split('|');
        const QByteArray after = part.size() == 2 ? before : expected.toByteArray();
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(before.isEmpty() ||
                (WriteBytes(real, before) && QFile::setPermissions(real, mode)));
        QVERIFY(!link || QFile::link(real, file));
        QCOMPARE(part.size() == 2
                     ? IniRead(part[0], part[1], file)
                     : (IniWrite(part[0], part[1], part[2], file), expected.toString()),
                 expected.toString());
        QVERIFY(ReadBytes(file) == after);
        QCOMPARE(FolderEntries(dir.path()).filter(QRegularExpression("ini$|tmp")), // no .tmp left
                 after.isEmpty() ? QStringList() : QStringList{"Orvane.ini"});
        QVERIFY(part.size() == 2 || part[1].isEmpty() || after == before ||
                IniRead(part[0], part[1], file) == part[2]);
        QVERIFY(before.isEmpty() || (QFileInfo(file).isSymLink() == link &&
                                     (QFileInfo(real).permissions() & ~0x0F00) == mode));
    }

    // Reads give what can be read; writes change nothing, leave nothing behind; nothing waits.
    void refused_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"read-only file", "read-only folder", "mode 000", "a folder",
                                 "a FIFO", "a link to itself"}) {
            QTest::newRow(kind) << QString(kind);
        }
    }
    void refused() {
        QFETCH(QString, kind);
        const bool whole = kind.startsWith("read-only") || kind == "mode 000";
        if (whole && !RunWithoutFileRights()) {
            return;
        }
        QTemporaryDir dir;
        const QString folder = dir.path();
        const QString file = folder + "/Orvane.ini";
        const QByteArray path = QFile::encodeName(file), before = "[Main]\nWidth=1\n; kept\n";
        const auto giveBack = [&] {
            ::chmod(QFile::encodeName(folder), 0700), ::chmod(path, 0600);
        };
        const auto guardRights = qScopeGuard(giveBack);
        QVERIFY(!whole || WriteBytes(file, before));
        bool heldUp = false;
        std::jthread writer; // a read still waiting after 30 s is let go, and the row fails
        if (kind == "read-only file" || kind == "mode 000") {
            QCOMPARE(::chmod(path, kind == "mode 000" ? 0 : 0444), 0);
        } else if (kind == "read-only folder") {
            QCOMPARE(::chmod(QFile::encodeName(folder), 0555), 0);
        } else if (kind == "a folder" || kind == "a link to itself") {
            QVERIFY(kind == "a folder" ? QDir().mkdir(file) : QFile::link(file, file));
        } else if (kind == "a FIFO") {
            QCOMPARE(::mkfifo(path, 0600), 0);
            writer = std::jthread([&](std::stop_token stop) {
                for (int waited = 0; !stop.stop_requested(); ++waited) {
                    const int fd = waited < 30000 ? -1 : ::open(path, O_WRONLY | O_NONBLOCK);
                    heldUp = heldUp || fd >= 0;
                    fd >= 0 ? ::close(fd) : ::usleep(1000);
                }
            });
        }
        const QString readable = kind.startsWith("read-only") ? "1" : "";
        QCOMPARE(IniRead("Main", "Width", file), readable);
        IniRead("Main", "", file);
        for (const auto& [key, value] : {std::pair{"Width", "2"}, {"Width", ""}, {"", ""}}) {
            IniWrite("Main", key, value, file);
        }
        writer = {};
        QVERIFY2(!heldUp, "a read waited on the FIFO for a writer");
        QCOMPARE(IniRead("Main", "Width", file), readable);
        QCOMPARE(FolderEntries(folder).filter(".tmp"), QStringList());
        giveBack();
        QVERIFY(!whole || ReadBytes(file) == before);
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
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(60000));
            const QByteArray content = ReadBytes(file);
            const qsizetype at = content.indexOf("value=");
            QVERIFY2(at > 0 && content == BigFile(content.at(at + 6)),
                     "file missing, cut or mixed");
        }
        // The next write clears what a killed writer left of its temporary file.
        IniWrite("Big", "value", "short", file);
        QCOMPARE(IniRead("Big", "value", file), QString("short"));
        QVERIFY(!QFile::exists(file + ".tmp"));
    }

    void twoWritersLoseNoKey() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Orvane.ini");
        QProcess first, second;
        first.start(QCoreApplication::applicationFilePath(), {"--write-keys", file, "a"});
        second.start(QCoreApplication::applicationFilePath(), {"--write-keys", file, "b"});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        for (int i = 0; i < 80; ++i) {
            QCOMPARE(IniRead("Keys", QString("ab")[i % 2] + QString::number(i / 2), file),
                     QString::number(i / 2));
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
    for (int i = 0; argc == 4 && argv[1] == std::string_view("--write-keys") && i < 40; ++i) {
        IniWrite("Keys", argv[3] + QString::number(i), QString::number(i), argv[2]);
    }
    if (argc == 4) {
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
