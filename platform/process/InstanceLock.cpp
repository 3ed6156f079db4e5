// The previous-instance query on a shared file lock.
#include "platform/process/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

// How often and how far apart a lock that another process holds is tried again: long enough
// for another instance to pass from its exclusive try to its shared lock, far too short to
// hold up a start.
constexpr int kLockTries = 20;
constexpr std::chrono::milliseconds kLockPause{5};

// A folder or file that only this user can have written: owned by this user, and nobody else
// may write it (a folder: nor list or enter it).
bool Private(const struct stat& info, mode_t othersMask) {
    return info.st_uid == ::getuid() && (info.st_mode & othersMask) == 0;
}

bool PrivateFolder(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           Private(info, 077);
}

QString PrivateTempFolder() {
    return QDir(QDir::tempPath()).filePath(QStringLiteral("orvane-%1").arg(::getuid()));
}

// $XDG_RUNTIME_DIR when it is a private folder of this user's, else the private folder in the
// temporary directory.
QString LockDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && PrivateFolder(runtime)) {
        return QDir::cleanPath(runtime);
    }
    return PrivateTempFolder();
}

int Retrying(int (*call)(int, int), int fd, int operation) {
    int result = 0;
    do {
        result = call(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

// The lock file, opened for locking, in a folder checked to be private; -1 when there is none.
// A file that is not a private regular file of this user's (planted, or left by another
// account) is replaced once.
int OpenLockFile(const QString& path) {
    const QFileInfo where(path);
    const QByteArray folderName = QFile::encodeName(where.path());
    ::mkdir(folderName.constData(), 0700); // the private folder, when it is missing
    const int folder =
        ::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        return -1;
    }
    struct stat info {};
    int fd = -1;
    if (::fstat(folder, &info) == 0 && Private(info, 077)) {
        const QByteArray name = QFile::encodeName(where.fileName());
        const int flags = O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        for (int attempt = 0; attempt < 2 && fd < 0; ++attempt) {
            fd = ::openat(folder, name.constData(), flags, 0600);
            if (fd >= 0 &&
                (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !Private(info, 022))) {
                ::close(fd);
                fd = -1;
            }
            if (fd < 0 && attempt == 0) {
                ::unlinkat(folder, name.constData(), 0);
            }
        }
    }
    ::close(folder);
    return fd;
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
        fd_ = OpenLockFile(path_);
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
    const bool othersHoldIt =
        Retrying(::flock, fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    // Another instance's exclusive try lasts an instant; a lock held exclusively for longer is
    // not an instance's, and this one goes on without its shared lock.
    for (int attempt = 0; attempt < kLockTries; ++attempt) {
        if (Retrying(::flock, fd_, LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK)
            break;
        std::this_thread::sleep_for(kLockPause);
    }
    return othersHoldIt;
}

} // namespace platform
