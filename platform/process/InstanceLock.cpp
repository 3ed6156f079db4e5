// The previous-instance query on a shared file lock.
#include "platform/process/InstanceLock.h"

#include "platform/process/Sha256.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
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

bool PrivateFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && Private(info, 077);
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// An absolute path from the environment, or nothing.
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? WithoutTrailingSlashes(value) : std::string();
}

std::string PrivateTempFolder() {
    std::string temp = AbsoluteFromEnvironment("TMPDIR");
    if (temp.empty()) {
        temp = "/tmp";
    }
    return (temp == "/" ? "" : temp) + "/orvane-" + std::to_string(::getuid());
}

// $XDG_RUNTIME_DIR when it is a private folder of this user's, else the private folder in the
// temporary directory.
std::string LockDirectory() {
    const std::string runtime = AbsoluteFromEnvironment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && PrivateFolder(runtime)) {
        return runtime;
    }
    return PrivateTempFolder();
}

// The executable's path with links resolved, or made absolute where it cannot be resolved.
std::string CanonicalPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) + "/" + path : path;
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
int OpenLockFile(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folderName = slash == 0 ? "/" : path.substr(0, slash);
    const std::string fileName = path.substr(slash + 1);
    ::mkdir(folderName.c_str(), 0700); // the private folder, when it is missing
    const int folder = ::open(folderName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        return -1;
    }
    struct stat info {};
    int fd = -1;
    if (::fstat(folder, &info) == 0 && Private(info, 077)) {
        const char* name = fileName.c_str();
        const int flags = O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        for (int attempt = 0; attempt < 2 && fd < 0; ++attempt) {
            fd = ::openat(folder, name, flags, 0600);
            if (fd >= 0 &&
                (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !Private(info, 022))) {
                ::close(fd);
                fd = -1;
            }
            if (fd < 0 && attempt == 0) {
                ::unlinkat(folder, name, 0);
            }
        }
    }
    ::close(folder);
    return fd;
}

} // namespace

InstanceLock::InstanceLock(const std::string& executablePath)
    : path_(LockFilePath(executablePath)) {}

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

std::string InstanceLock::LockFilePath(const std::string& executablePath) {
    const std::string canonical = CanonicalPath(executablePath);
    const std::string hash = Sha256Hex(canonical).substr(0, 16);
    const std::string name = canonical.substr(canonical.rfind('/') + 1);
    return LockDirectory() + "/" + name + "-" + std::to_string(::getuid()) + "-" + hash + ".lock";
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
