// The previous-instance query on a shared file lock.
#include "platform/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

QString LockDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

// flock that goes on after a signal interrupts the wait.
int Flock(int fd, int operation) {
    int result = 0;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

InstanceLock::InstanceLock(const QString& executablePath) : path_(LockFilePath(executablePath)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

QString InstanceLock::LockFilePath(const QString& executablePath) {
    const QFileInfo executable(executablePath);
    QString canonical = executable.canonicalFilePath();
    if (canonical.isEmpty())
        canonical = executable.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(LockDirectory())
        .filePath(QStringLiteral("%1-%2-%3.lock")
                      .arg(QFileInfo(canonical).fileName())
                      .arg(::getuid())
                      .arg(QString::fromLatin1(hash)));
}

bool InstanceLock::PrevInstance() {
    if (fd_ < 0) {
        // Never through a link: in a shared temporary directory the name is guessable.
        fd_ = ::open(QFile::encodeName(path_).constData(),
                     O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return false;
    }
    // The exclusive try succeeds only when no other instance holds the file. Whatever its
    // outcome, the lock is then held shared for the rest of this instance's life.
    //
    // Going from exclusive to shared is not atomic: the kernel drops the exclusive lock before
    // it grants the shared one, and an instance starting in that instant may get its own
    // exclusive try through. Two instances that start at the same moment may then both see no
    // other instance and both open a window; that is also what would happen if they saw each
    // other, as neither window has its caption yet and the window search would find none.
    const bool othersHoldIt = Flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    Flock(fd_, LOCK_SH);
    return othersHoldIt;
}

} // namespace platform
