// The earlier instance: its lock, the search for its window, the start without the window
// library. The executable doubles as the lock's holder or as a planted lock's squatter (main).
#include "app/FindWindowLike.h"
#include "platform/StatusText.h"
#include "platform/process/InstanceLock.h"
#include "platform/x11/WindowTree.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BrowserMod1;
using platform::Hwnd;
using platform::InstanceLock;

namespace {
// A window tree that records the calls that change windows and cuts texts to the buffer asked.
struct FakeWindowTree : platform::WindowTree {
    struct Window {
        QString caption, className;
        bool iconic = false;
        QList<Hwnd> children;
        Hwnd parent = 0;
    };
    Hwnd GetDesktopWindow() override { return 1; }
    Hwnd GetWindow(Hwnd window, int command) override {
        const QList<Hwnd> siblings = Windows.value(Windows.value(window).parent).children;
        return command == platform::GW_CHILD ? Windows.value(window).children.value(0)
                                             : siblings.value(siblings.indexOf(window) + 1);
    }
    QString GetWindowText(Hwnd w, int n) override { return Cut(Windows[w].caption, n); }
    QString GetClassName(Hwnd w, int n) override { return Cut(Windows[w].className, n); }
    bool IsIconic(Hwnd window) override { return Windows.value(window).iconic; }
    bool ShowWindow(Hwnd window, int command) override {
        return (Calls << QString("ShowWindow(%1,%2)").arg(window).arg(command), true);
    }
    bool SetForegroundWindow(Hwnd window) override {
        return (Calls << QString("SetForegroundWindow(%1)").arg(window), true);
    }
    QString Cut(const QString& text, int size) {
        return platform::FirstCharacters(text, (BufferSizes << size).last() - 1);
    }
    QMap<Hwnd, Window> Windows{{1, Window{}}};
    QStringList Calls;
    QList<int> BufferSizes;
};
} // namespace

class TestInstance : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        QVERIFY(QFile(dir_.filePath("orvane")).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(dir_.filePath("orvane"), dir_.filePath("lien")));
    }

    // A start (a process of this executable) tells whether an earlier instance holds the lock;
    // lock files another account planted, or a lock that stays taken, never hold it up.
    void lock_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("previous");
        const auto row = [](const char* name, const char* setup, const char* asked, bool previous) {
            QTest::newRow(name) << QString(setup) << QString(asked) << previous;
        };
        row("first instance", "", "orvane", false);
        row("another running", "running", "orvane", true);
        row("another program running", "running", "autre", false);
        row("same file through a link", "running", "lien", true);
        row("another ended normally", "ended", "orvane", false);
        row("another killed: stale lock", "killed", "orvane", false);
        row("planted symlink not followed", "link", "orvane", false);
        row("other account's file in the private folder", "file", "orvane", false);
        row("other account's folder in its place", "folder", "orvane", false);
        row("runtime folder others can write", "runtime", "orvane", false);
        row("own lock held exclusively", "held", "orvane", true);
    }
    void lock() {
        QFETCH(QString, setup);
        QFETCH(QString, asked);
        QFETCH(bool, previous);
        const bool planted = setup == "file" || setup == "folder" || setup == "runtime";
        if (planted && ::geteuid() != 0) {
            QSKIP("only root can plant a file of another account's (CI runs this as root)");
        }
        QTemporaryDir temp;
        const auto giveAway = [](const QString& path, mode_t mode) {
            const QByteArray name = QFile::encodeName(path);
            return ::chown(name, 65534, 65534) == 0 && ::chmod(name, mode) == 0;
        };
        const auto start = [&](QProcess& process, const QString& option, const QString& path) {
            process.start(QCoreApplication::applicationFilePath(), {option, path});
            return process.waitForReadyRead(60000);
        };
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        const bool runtime = setup != "file" && setup != "folder" && setup != "held";
        runtime ? qputenv("XDG_RUNTIME_DIR", QFile::encodeName(temp.filePath("run")))
                : qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(!runtime || (QDir(temp.path()).mkdir("run") &&
                             ::chmod(QFile::encodeName(temp.filePath("run")), 0700) == 0));
        const QString lockFile = InstanceLock::LockFilePath(dir_.filePath("orvane"));
        const QString folder = QFileInfo(lockFile).path();
        QProcess holder, squatter, second;
        if (setup == "running" || setup == "ended" || setup == "killed") {
            QVERIFY(start(holder, "--hold-instance-lock", dir_.filePath("orvane")));
            QCOMPARE(holder.readLine(), "ready\n");
            setup == "ended" ? holder.closeWriteChannel() : void();
            setup == "killed" ? holder.kill() : void(); // no clean-up of its own
            QVERIFY(setup == "running" || holder.waitForFinished(60000));
        } else if (setup == "link") {
            QVERIFY(QFile::link(temp.filePath("ailleurs"), lockFile));
        } else if (planted) {
            QVERIFY((runtime || QDir().mkdir(folder)) &&
                    QFile(lockFile).open(QIODevice::WriteOnly) && giveAway(lockFile, 0644));
            QVERIFY(setup == "file" ? ::chmod(QFile::encodeName(folder), 0700) == 0
                                    : giveAway(folder, 0777));
        } else if (setup == "held") {
            QVERIFY(!InstanceLock(dir_.filePath("orvane")).PrevInstance()); // makes the file
        }
        if (planted || setup == "held") {
            QVERIFY(start(squatter, "--hold-file", lockFile));
            QCOMPARE(squatter.readLine(), "held\n");
        }
        QVERIFY2(start(second, "--hold-instance-lock", dir_.filePath(asked)), "start held up");
        QCOMPARE(second.readLine(), previous ? "ready, not first\n" : "ready\n");
        QVERIFY(!QFile::exists(temp.filePath("ailleurs")));
        for (QProcess* process : {&holder, &squatter, &second}) {
            process->closeWriteChannel();
            process->waitForFinished(60000);
        }
    }

    // Windows: "caption|class", a leading '>' for a child of the window before, a trailing
    // "|min" when minimized; '@' stands for the caption prefix, '&' for the window class.
    void search_data() {
        QTest::addColumn<QStringList>("windows");
        QTest::addColumn<QString>("calls");
        const auto row = [](const char* name, QStringList windows, QString calls) {
            QTest::newRow(name) << windows << calls;
        };
        const QString tail = " - @|&";
        row("last match wins", {"Autre|&", "Accueil - @|&", "@|Autre", "@|&", "x|y"},
            "SetForegroundWindow(5)");
        row("child windows never found", {"Autre|Autre", ">@|&", "Cadre|Autre", ">Page - @|&"}, "");
        row("minimized: restored, brought forward", {"@|&", "Page - @|&|min"},
            "ShowWindow(3,9) SetForegroundWindow(3)");
        row("normal or maximized: state kept", {"@|&", "Page - @|&"}, "SetForegroundWindow(3)");
        row("caption of 254 characters", {QString(234, u'é') + tail}, "SetForegroundWindow(2)");
        row("caption of 255 characters", {QString(235, u'é') + tail}, "");
        row("ending within the first 254", {QString(234, 't') + tail + QString(5000, 'y')}, "");
        row("no caption yet", {"|&"}, "");
    }
    void search() {
        QFETCH(QStringList, windows);
        QFETCH(QString, calls);
        FakeWindowTree tree;
        Hwnd top = 1;
        for (QString shape : windows) {
            shape.replace('@', QString::fromUtf16(kAppCaption))
                .replace('&', InstanceClassPattern());
            const bool child = shape.startsWith('>');
            const QStringList parts = shape.sliced(child).split('|');
            const Hwnd window = Hwnd(tree.Windows.size() + 1), parent = child ? top : 1;
            tree.Windows[window] = {parts[0], parts[1], parts.size() > 2, {}, parent};
            tree.Windows[parent].children << window;
            top = child ? top : window;
        }
        QCOMPARE(ActivatePreviousInstance(tree), !calls.isEmpty());
        QCOMPARE(tree.Calls.join(' '), calls);
        QCOMPARE(tree.BufferSizes, QList<int>(2 * tree.Windows[1].children.size(), 255));
    }

    void startWithoutWindowLibrary() { // says so in French, naming the file, and fails
        QTemporaryDir program;
        QVERIFY(QFile::copy(qEnvironmentVariable("ORVANE_BINARY"), program.filePath("orvane")));
        QProcess start;
        start.start(program.filePath("orvane"), {"accueil.example,courrier.example"});
        QVERIFY(start.waitForFinished(60000));
        QVERIFY(start.exitStatus() == QProcess::NormalExit && start.exitCode() != 0);
        const QString error = QString::fromUtf8(start.readAllStandardError());
        const QString said = "fichier introuvable : " + program.filePath("liborvane_gui.so");
        QVERIFY2(error.contains(said) && !error.contains("cannot"), qPrintable(error));
    }
};

// Takes the lock (--hold-file: locks the file as a squatter), says so, holds it until stdin ends.
int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]).starts_with("--hold")) {
        std::optional<InstanceLock> lock;
        const int fd = ::open(argv[2], O_RDONLY | O_CLOEXEC);
        if (argv[1] == std::string_view("--hold-file") && (fd < 0 || ::flock(fd, LOCK_EX) != 0)) {
            return 1;
        } else if (argv[1] != std::string_view("--hold-file")) {
            lock.emplace(QString::fromLocal8Bit(argv[2]));
        }
        std::puts(!lock ? "held" : lock->PrevInstance() ? "ready, not first" : "ready");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    QCoreApplication application(argc, argv);
    TestInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instance.moc"
