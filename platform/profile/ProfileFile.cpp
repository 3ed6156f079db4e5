#include "platform/profile/ProfileFile.h"

#include "platform/profile/Profile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// How long a rewrite waits for another process's rewrite of the same file.
constexpr std::chrono::seconds kLockPatience{5};

// Owns one file descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(Fd&&) = delete;
    ~Fd() { Close(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now; false when the close reported an error (a write that did not make it).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus ReadAll(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Non-blocking, so that a FIFO in the file's place cannot hang the open.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) {
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return ReadStatus::Failed;
    }
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return ReadStatus::Failed;
        }
        if (n == 0) {
            return ReadStatus::Ok;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a name stands for: a symbolic link is followed, so that the link stays in place.
std::string TargetPath(const std::string& fileName) {
    char resolved[PATH_MAX];
    if (::realpath(fileName.c_str(), resolved) != nullptr) {
        return std::string(resolved);
    }
    return fileName;
}

// An exclusive lock on "<target>.lock", held while the result lives. The lock file stays:
// removing it would let two writers lock two different files.
Fd LockBeside(const std::string& target) {
    const std::string lockPath = target + ".lock";
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    Fd lock(fd);
    if (!lock.Valid()) {
        return lock;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() > deadline) {
            return Fd();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return lock;
}

std::string FolderOf(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    return slash == std::string::npos ? std::string(".")
                                      : target.substr(0, std::max<std::size_t>(slash, 1));
}

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolderOf(const std::string& target) {
    Fd dir(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) {
        ::fsync(dir.Get());
    }
}

} // namespace

std::string ReadProfileFile(const std::string& fileName) {
    std::string bytes;
    if (fileName.empty() || ReadAll(fileName, bytes) != ReadStatus::Ok) {
        return {};
    }
    return bytes;
}

bool RewriteProfileFile(const std::string& fileName,
                        const std::function<FileEdit(const std::string&)>& edit) {
    if (fileName.empty()) {
        return false;
    }
    const std::string target = TargetPath(fileName);
    const Fd lock = LockBeside(target);
    if (!lock.Valid()) {
        return false;
    }
    std::string current;
    const ReadStatus status = ReadAll(target, current);
    if (status == ReadStatus::Failed) {
        return false; // never replace what could not be read
    }
    const FileEdit next = edit(current);
    if (next.outcome != FileEdit::Outcome::Changed) {
        return next.outcome == FileEdit::Outcome::Unchanged;
    }
    struct stat old {};
    const bool exists = status == ReadStatus::Ok && ::stat(target.c_str(), &old) == 0;
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return false; // a read-only file stays as it is, although its folder would allow it
    }
    const std::string temp = target + ".tmp";
    ::unlink(temp.c_str()); // left by a writer that died; only lock holders write it
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  exists ? (old.st_mode & 0777) : 0666));
    if (!out.Valid()) {
        return false;
    }
    bool ok = true;
    if (exists) {
        if (::fchown(out.Get(), old.st_uid, old.st_gid) != 0) {
            // Only a privileged process can give the file back another owner: keep ours.
        }
        ok = ::fchmod(out.Get(), old.st_mode & 07777) == 0;
    }
    ok = ok && WriteAll(out.Get(), next.content) && ::fsync(out.Get()) == 0;
    ok = out.Close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolderOf(target);
    return true;
}

bool ProfileFileWritable(const std::string& fileName) {
    if (fileName.empty()) {
        return false;
    }
    const std::string target = TargetPath(fileName);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) ||
            ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            return false;
        }
    } else if (errno != ENOENT) {
        return false;
    }
    const std::string folder = FolderOf(target);
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace platform
