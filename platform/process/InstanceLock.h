#pragma once
// The previous-instance query: is another instance of this executable running for this user?
//
// Every running instance holds a shared lock (flock) on one file, named from the user id and
// the executable's canonical path, in a folder that only this user can write: $XDG_RUNTIME_DIR
// when it is such a folder, else a private folder "orvane-<uid>" in the temporary directory,
// created on first use. Another instance runs when an exclusive try on that file fails. The
// kernel drops a process's lock when it ends, however it ends, so a crash never leaves a stale
// answer behind.
//
// No call here waits on another process: a folder or file that another account owns or could
// have planted is not used, and a lock that stays taken is given up after a few short tries.
// Either way the program then starts as a first instance would.

#include <string>

namespace platform {

class InstanceLock {
public:
    explicit InstanceLock(const std::string& executablePath);
    ~InstanceLock();
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another instance holds the lock. Either way this object holds it shared from
    // then on, until it is destroyed, as far as it could be had. When no safe lock file can be
    // had the answer is false: the program then starts as a first instance.
    bool PrevInstance();

    // The lock file of an executable.
    static std::string LockFilePath(const std::string& executablePath);

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace platform
