// The previous-instance query and the start before the window, with real processes: this test
// runs itself again as the instance that holds the lock, or as another account's process that
// holds a planted lock file.
#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char HoldOption[] = "--hold-instance-lock";
constexpr char SquatOption[] = "--hold-exclusive";

// Another account's user id, for files planted by it.
constexpr uid_t kOtherUid = 65534;

// The helper instance: takes the lock for executable, says "ready", and holds the lock until
// its standard input closes.
int HoldLock(const char* executable) {
    platform::InstanceLock lock(QString::fromLocal8Bit(executable));
    std::printf("%s\n", lock.PrevInstance() ? "ready, not first" : "ready");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

// A process that holds the file locked exclusively, as a squatter would: says "held", and holds
// it until its standard input closes.
int HoldExclusive(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

// A file or folder of another account's, as if it had made it.
bool GiveAway(const QString& path, mode_t mode) {
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name.constData(), kOtherUid, kOtherUid) == 0 &&
           ::chmod(name.constData(), mode) == 0;
}

// Sets an environment variable for the life of the object (unset when value is null).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

} // namespace

class TestInstanceLock : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString executable;

    // Another instance of executable that holds the lock until it is stopped.
    bool StartHolder(QProcess& holder, const QString& path) {
        holder.start(QCoreApplication::applicationFilePath(), {HoldOption, path});
        return holder.waitForStarted() && holder.waitForReadyRead(10000) &&
               holder.readLine() == "ready\n";
    }
    bool PrevInstance(const QString& path) { return platform::InstanceLock(path).PrevInstance(); }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        qputenv("XDG_RUNTIME_DIR", dir.filePath("run").toLocal8Bit());
        QVERIFY(QDir(dir.path()).mkdir("run"));
        QVERIFY(QFile::setPermissions(dir.filePath("run"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        executable = dir.filePath("orvane");
        QFile file(executable);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void firstInstance() {
        QVERIFY(!PrevInstance(executable));
        QVERIFY(!PrevInstance(executable)); // nothing left behind
        QVERIFY(platform::InstanceLock::LockFilePath(executable).startsWith(dir.filePath("run")));
    }

    void anotherProcessEndsNormally() {
        QProcess holder;
        QVERIFY(StartHolder(holder, executable));
        QVERIFY(PrevInstance(executable));
        QVERIFY(!PrevInstance(dir.filePath("autre"))); // another program
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished());
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(!PrevInstance(executable));
    }

    void anotherProcessIsKilled() {
        QProcess holder;
        QVERIFY(StartHolder(holder, executable));
        QVERIFY(PrevInstance(executable));
        holder.kill(); // SIGKILL: no clean-up of its own
        QVERIFY(holder.waitForFinished());
        QCOMPARE(holder.exitStatus(), QProcess::CrashExit);
        QVERIFY(!PrevInstance(executable));
    }

    void sameExecutableThroughALink() {
        const QString link = dir.filePath("lien");
        QVERIFY(QFile::link(executable, link));
        QCOMPARE(platform::InstanceLock::LockFilePath(link),
                 platform::InstanceLock::LockFilePath(executable));
        QProcess holder;
        QVERIFY(StartHolder(holder, link));
        QVERIFY(PrevInstance(executable));
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished());
    }

    void everyInstanceHoldsItForItsLife() {
        std::optional<platform::InstanceLock> first(std::in_place, executable);
        QVERIFY(!first->PrevInstance());
        platform::InstanceLock second(executable);
        QVERIFY(second.PrevInstance());
        first.reset();
        // The second instance still runs.
        QVERIFY(PrevInstance(executable));
        platform::InstanceLock moved(std::move(second));
        QVERIFY(PrevInstance(executable));
    }

    void plantedLinkIsNotFollowed() {
        // A link planted under the lock file's name: nothing is created where the link points,
        // and the start goes on as a first instance.
        QFile::remove(platform::InstanceLock::LockFilePath(executable));
        QVERIFY(QFile::link(dir.filePath("ailleurs"),
                            platform::InstanceLock::LockFilePath(executable)));
        QVERIFY(!PrevInstance(executable));
        QVERIFY(!QFile::exists(dir.filePath("ailleurs")));
    }

    // Lock files that another account planted, or a lock that stays taken: a start neither
    // waits for them nor takes them for an earlier instance of its own. Without
    // XDG_RUNTIME_DIR, the lock lives in a private folder in the temporary directory.
    void plantedLockHoldsUpNoStart_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("other account's file in the private folder")
            << "file" << QByteArray("ready\n");
        QTest::newRow("other account's folder in its place") << "folder" << QByteArray("ready\n");
        QTest::newRow("runtime folder others can write") << "runtime" << QByteArray("ready\n");
        QTest::newRow("own lock held exclusively") << "held" << QByteArray("ready, not first\n");
    }
    void plantedLockHoldsUpNoStart() {
        QFETCH(QString, planted);
        QFETCH(QByteArray, answer);
        if (planted != "held" && ::geteuid() != 0) {
            QSKIP("only root can plant a file of another account's (CI runs this as root)");
        }
        QTemporaryDir temp;
        const ScopedEnv tmpdir("TMPDIR", QFile::encodeName(temp.path()));
        const QString runtime = temp.filePath("run");
        const ScopedEnv xdg("XDG_RUNTIME_DIR",
                            planted == "runtime" ? QFile::encodeName(runtime) : QByteArray());
        const QString privateFolder = temp.filePath(QStringLiteral("orvane-%1").arg(::getuid()));
        const QString name = QFileInfo(platform::InstanceLock::LockFilePath(executable)).fileName();
        QString squatted = privateFolder + '/' + name;
        if (planted == "held") {
            QVERIFY(!PrevInstance(executable)); // makes the private folder and the file
        } else {
            const QString folder = planted == "runtime" ? runtime : privateFolder;
            QVERIFY(QDir().mkdir(folder));
            squatted = folder + '/' + name;
            QFile file(squatted);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(GiveAway(squatted, 0644));
            QVERIFY(planted == "file"
                        ? QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ExeOwner)
                        : GiveAway(folder, 0777));
        }
        QProcess squatter;
        squatter.start(QCoreApplication::applicationFilePath(), {SquatOption, squatted});
        QVERIFY(squatter.waitForReadyRead(10000));
        QCOMPARE(squatter.readLine(), QByteArray("held\n"));

        QProcess start;
        start.start(QCoreApplication::applicationFilePath(), {HoldOption, executable});
        QVERIFY2(start.waitForReadyRead(30000), "the start is held up");
        QCOMPARE(start.readLine(), answer);
        start.closeWriteChannel();
        squatter.closeWriteChannel();
        QVERIFY(start.waitForFinished());
        QVERIFY(squatter.waitForFinished());
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
        const QString binary = program.filePath("orvane");
        QVERIFY(QFile::copy(qEnvironmentVariable("ORVANE_BINARY"), binary));
        const QString libraryPath = program.filePath("liborvane_gui.so");
        if (!library.isNull()) {
            QFile file(libraryPath);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(library) == library.size());
        }
        QProcess start;
        start.start(binary, {"accueil.example,courrier.example"});
        QVERIFY(start.waitForFinished(30000));
        QCOMPARE(start.exitStatus(), QProcess::NormalExit);
        QVERIFY(start.exitCode() != 0);
        const QString error = QString::fromUtf8(start.readAllStandardError());
        QVERIFY2(error.contains(said.arg(libraryPath)), qPrintable(error));
        QVERIFY2(!error.contains("cannot"), qPrintable(error));
    }
};

int main(int argc, char* argv[]) {
    if (argc == 3 && std::strcmp(argv[1], HoldOption) == 0)
        return HoldLock(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], SquatOption) == 0)
        return HoldExclusive(argv[2]);
    QCoreApplication application(argc, argv);
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
