// The earlier instance: the lock that tells a second start, the search for its window and its
// activation, and the start without the window library. The executable doubles as the instance
// that holds the lock, or as another account's process holding a planted lock file (see main).
#include "app/FindWindowLike.h"
#include "app/Like.h"
#include "fakes/FakeWindowTree.h"
#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BrowserMod1;
using platform::InstanceLock;

namespace {
// Takes the lock for the executable (or locks the file, as a squatter would), says so, and
// holds it until its standard input closes.
int Hold(const char* option, const char* path) {
    std::optional<InstanceLock> lock;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (option == std::string_view("--hold-file")) {
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
            return 1;
        }
        std::puts("held");
    } else {
        lock.emplace(QString::fromLocal8Bit(path));
        std::puts(lock->PrevInstance() ? "ready, not first" : "ready");
    }
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

bool GiveAway(const QString& path, mode_t mode) { // as if another account had made it
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name, 65534, 65534) == 0 && ::chmod(name, mode) == 0;
}
} // namespace

class TestInstance : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString executable_;

    bool StartHolder(QProcess& holder, const QString& option, const QString& path) {
        holder.start(QCoreApplication::applicationFilePath(), {option, path});
        return holder.waitForReadyRead(60000);
    }
    bool PrevInstance(const QString& path) { return InstanceLock(path).PrevInstance(); }

private slots:
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.filePath("run")));
        QVERIFY(QDir(dir_.path()).mkdir("run") &&
                ::chmod(QFile::encodeName(dir_.filePath("run")), 0700) == 0);
        executable_ = dir_.filePath("orvane");
        QVERIFY(QFile(executable_).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(executable_, dir_.filePath("lien")));
    }

    void lock_data() {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("previous");
        const auto row = [](const char* name, const char* holder, const char* asked,
                            bool previous) { QTest::newRow(name) << holder << asked << previous; };
        row("first instance", "none", "orvane", false);
        row("another running", "running", "orvane", true);
        row("another program running", "running", "autre", false);
        row("same file through a link", "running", "lien", true);
        row("another ended normally", "ended", "orvane", false);
        row("another killed: stale lock", "killed", "orvane", false);
    }
    void lock() {
        QFETCH(QString, holder);
        QFETCH(QString, asked);
        QFETCH(bool, previous);
        QProcess process;
        if (holder != "none") {
            QVERIFY(StartHolder(process, "--hold-instance-lock", executable_));
            QCOMPARE(process.readLine(), "ready\n");
        }
        if (holder == "ended") {
            process.closeWriteChannel();
        } else if (holder == "killed") {
            process.kill(); // no clean-up of its own
        }
        QVERIFY(holder == "running" || holder == "none" || process.waitForFinished(60000));
        QCOMPARE(PrevInstance(dir_.filePath(asked)), previous);
        process.closeWriteChannel();
        process.waitForFinished(60000);
    }

    void plantedLinkNotFollowed() {
        const QString lockFile = InstanceLock::LockFilePath(executable_);
        QVERIFY(lockFile.startsWith(dir_.filePath("run")));
        QFile::remove(lockFile);
        QVERIFY(QFile::link(dir_.filePath("ailleurs"), lockFile));
        QVERIFY(!PrevInstance(executable_));
        QVERIFY(!QFile::exists(dir_.filePath("ailleurs")));
    }

    // Lock files another account planted, or a lock that stays taken: a start neither waits
    // for them nor takes them for an earlier instance. Without XDG_RUNTIME_DIR, the lock lives
    // in a private folder in the temporary directory.
    void plantedLock_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("other account's file in the private folder")
            << "file" << QByteArray("ready\n");
        QTest::newRow("other account's folder in its place") << "folder" << QByteArray("ready\n");
        QTest::newRow("runtime folder others can write") << "runtime" << QByteArray("ready\n");
        QTest::newRow("own lock held exclusively") << "held" << QByteArray("ready, not first\n");
    }
    void plantedLock() {
        QFETCH(QString, planted);
        QFETCH(QByteArray, answer);
        if (planted != "held" && ::geteuid() != 0) {
            QSKIP("only root can plant a file of another account's (CI runs this as root)");
        }
        QTemporaryDir temp;
        const QByteArray oldTmp = qgetenv("TMPDIR"), oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const auto giveBack = qScopeGuard([&] {
            qputenv("TMPDIR", oldTmp);
            qputenv("XDG_RUNTIME_DIR", oldRuntime);
        });
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        planted == "runtime" ? qputenv("XDG_RUNTIME_DIR", QFile::encodeName(temp.filePath("run")))
                             : qunsetenv("XDG_RUNTIME_DIR");
        const QString folder = planted == "runtime"
                                   ? temp.filePath("run")
                                   : temp.filePath(QString("orvane-%1").arg(::getuid()));
        const QString squatted =
            folder + '/' + QFileInfo(InstanceLock::LockFilePath(executable_)).fileName();
        if (planted == "held") {
            QVERIFY(!PrevInstance(executable_)); // makes the private folder and the file
        } else {
            QVERIFY(QDir().mkdir(folder) && QFile(squatted).open(QIODevice::WriteOnly));
            QVERIFY(GiveAway(squatted, 0644));
            QVERIFY(planted == "file" ? ::chmod(QFile::encodeName(folder), 0700) == 0
                                      : GiveAway(folder, 0777));
        }
        QProcess squatter, start;
        QVERIFY(StartHolder(squatter, "--hold-file", squatted));
        QCOMPARE(squatter.readLine(), "held\n");
        QVERIFY2(StartHolder(start, "--hold-instance-lock", executable_), "the start is held up");
        QCOMPARE(start.readLine(), answer);
        start.closeWriteChannel();
        squatter.closeWriteChannel();
        QVERIFY(start.waitForFinished(60000) && squatter.waitForFinished(60000));
    }

    // Windows: "caption|class", a leading '>' for a child of the window before, a trailing
    // "|min" when minimized; '@' stands for the caption prefix, '&' for the window class.
    void search_data() {
        QTest::addColumn<QStringList>("windows");
        QTest::addColumn<QString>("calls");
        const auto row = [](const char* name, const QStringList& windows, const QString& calls) {
            QTest::newRow(name) << windows << calls;
        };
        const QString tail = " - @|&";
        row("empty desktop", {}, "");
        row("last match wins", {"Autre|&", "Accueil - @|&", "@|Autre", "@|&", "x|y"},
            "SetForegroundWindow(5)");
        row("child windows never found", {"Autre|Autre", ">@|&", "Cadre|Autre", ">Page - @|&"}, "");
        row("minimized: restored, then brought forward", {"@|&", "Page - @|&|min"},
            "ShowWindow(3,9) SetForegroundWindow(3)");
        row("normal or maximized: state kept", {"@|&", "Page - @|&"}, "SetForegroundWindow(3)");
        row("caption of 254 characters", {QString(234, u'é') + tail}, "SetForegroundWindow(2)");
        row("caption of 255 characters", {QString(235, u'é') + tail}, "");
        row("ending within the first 254", {QString(234, 't') + tail + QString(5000, 'y')}, "");
        row("a megabyte of stars", {QString(1 << 20, '*') + "|&"}, "");
        row("near misses", {"@ |&", "navigateur ulmeco|&", "@ - x|&", "@|ThunderRT6FormDc"}, "");
        row("class shorter or longer", {"@|ThunderRT6Form", "@|&x"}, "");
        row("no caption yet", {"|&"}, "");
    }
    void search() {
        QFETCH(QStringList, windows);
        QFETCH(QString, calls);
        FakeWindowTree tree;
        platform::Hwnd top = FakeWindowTree::Desktop;
        int topLevel = 0;
        for (QString spec : windows) {
            spec.replace('@', QString::fromUtf16(kAppCaption)).replace('&', InstanceClassPattern());
            const QStringList parts = spec.sliced(spec.startsWith('>')).split('|');
            const platform::Hwnd window =
                tree.Add(parts[0], parts[1], spec.startsWith('>') ? top : FakeWindowTree::Desktop);
            tree.Windows[window].iconic = parts.size() > 2;
            topLevel += spec.startsWith('>') ? 0 : 1;
            top = spec.startsWith('>') ? top : window;
        }
        QCOMPARE(ActivatePreviousInstance(tree), !calls.isEmpty());
        QCOMPARE(tree.Calls.join(' '), calls);
        QCOMPARE(tree.BufferSizes, QList<int>(2 * topLevel, 255)); // both texts of every window
    }

    void likeHasNoBlowUp() { // the per-label time limit catches an exponential matcher
        const QString text(20000, u'a');
        QVERIFY(!Like(text, "*a*a*a*a*a*a*a*a*b"));
        QVERIFY(Like(text + u'b', "*a*a*a*a*a*a*a*a*b"));
        QVERIFY(!Like(text, "*aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab*"));
    }

    // The program without its window library says so in French, naming the file, and fails.
    void startWithoutWindowLibrary_data() {
        QTest::addColumn<QByteArray>("library");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << QByteArray() << "fichier introuvable : %1";
        QTest::newRow("not a library")
            << QByteArray("pas une biblioth\xC3\xA8que") << "le fichier %1 n'a pas pu être chargé";
    }
    void startWithoutWindowLibrary() {
        QFETCH(QByteArray, library);
        QFETCH(QString, said);
        QTemporaryDir program;
        QVERIFY(QFile::copy(qEnvironmentVariable("ORVANE_BINARY"), program.filePath("orvane")));
        const QString libraryPath = program.filePath("liborvane_gui.so");
        QFile file(libraryPath);
        QVERIFY(library.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(library) == library.size()));
        file.close();
        QProcess start;
        start.start(program.filePath("orvane"), {"accueil.example,courrier.example"});
        QVERIFY(start.waitForFinished(60000));
        QVERIFY(start.exitStatus() == QProcess::NormalExit && start.exitCode() != 0);
        const QString error = QString::fromUtf8(start.readAllStandardError());
        QVERIFY2(error.contains(said.arg(libraryPath)) && !error.contains("cannot"),
                 qPrintable(error));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]).starts_with("--hold")) {
        return Hold(argv[1], argv[2]);
    }
    QCoreApplication application(argc, argv);
    TestInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instance.moc"
