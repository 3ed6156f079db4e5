// The previous-instance query with real processes: this test runs itself again as the
// instance that holds the lock.
#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr char HoldOption[] = "--hold-instance-lock";

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
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        const QString trapDir = dir.filePath("piege");
        QVERIFY(QDir(dir.path()).mkdir("piege"));
        qputenv("XDG_RUNTIME_DIR", trapDir.toLocal8Bit());
        // A link planted under the lock file's name: the file cannot be used, so the answer
        // is "first instance", and nothing is created where the link points.
        QVERIFY(QFile::link(dir.filePath("ailleurs"),
                            platform::InstanceLock::LockFilePath(executable)));
        QVERIFY(!PrevInstance(executable));
        QVERIFY(!QFile::exists(dir.filePath("ailleurs")));
        qputenv("XDG_RUNTIME_DIR", saved);
    }
};

int main(int argc, char* argv[]) {
    if (argc == 3 && std::strcmp(argv[1], HoldOption) == 0)
        return HoldLock(argv[2]);
    QCoreApplication application(argc, argv);
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
