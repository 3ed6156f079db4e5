#pragma once
// Whole files byte for byte in a temporary folder; children and programs run and waited for, or
// talked to over pipes; test rows run with permission bits enforced even as root. No toolkit:
// std::string and POSIX.
#include "support/Rows.h" // and GoogleTest

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace testsupport {
// A new folder under $TMPDIR (or /tmp), removed with all it holds.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvane-XXXXXX";
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string FilePath(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) { // empty when unreadable
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : std::string();
}

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return file.write(bytes.data(), std::streamsize(bytes.size())) && file.flush();
}

// Runs body in a forked copy of this process, which ends with it (exit status 0).
inline pid_t Fork(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    return child;
}

// The child's exit status once it ends; -1 when it was killed or is no child.
inline int Wait(pid_t child) {
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
               ? WEXITSTATUS(status)
               : -1;
}

// Becomes the program argv[0] (searched on the PATH) with the arguments that follow; ends with
// exit status 127 when it cannot.
[[noreturn]] inline void Exec(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

// The exit status of a program run to its end (127 when it cannot be started).
inline int RunProgram(const std::vector<std::string>& argv) {
    return Wait(Fork([&] { Exec(argv); }));
}

// A child with its input and output (its error output too) on pipes: a function of this test in
// a fork, or a program. Reads wait for output; the guard ends a hang.
class Process {
public:
    static constexpr int kGuardMilliseconds = 60000;

    // Runs body in a fork of this process; what it returns is the child's exit code. The child
    // holds no other descriptor of the parent's, so that pipes of other children end with them.
    explicit Process(const std::function<int()>& body) {
        if (::pipe2(in_, O_CLOEXEC) == 0 && ::pipe2(out_, O_CLOEXEC) == 0) // else no child
            pid_ = Fork([&] {
                ::dup2(in_[0], STDIN_FILENO), ::dup2(out_[1], STDOUT_FILENO);
                ::dup2(out_[1], STDERR_FILENO), ::close_range(3, ~0U, 0);
                const int code = body();
                std::fflush(nullptr);
                ::_exit(code);
            });
        ::close(in_[0]), ::close(out_[1]);
    }
    // Runs the program argv[0] with the arguments that follow.
    explicit Process(const std::vector<std::string>& argv)
        : Process([&argv]() -> int { Exec(argv); }) {}
    ~Process() { ::close(in_[1]), Wait(), ::close(out_[0]); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The next line of output with its '\n'; what came before the end (or the guard) otherwise.
    std::string ReadLine() {
        std::string line;
        for (char c = 0; (line.empty() || line.back() != '\n') && ReadByte(c);)
            line += c;
        return line;
    }
    // The output until the child closes it.
    std::string ReadAll() {
        std::string all;
        for (char c = 0; ReadByte(c);)
            all += c;
        return all;
    }
    void Kill() {
        if (pid_ > 0)
            ::kill(pid_, SIGKILL);
    }
    // The status as waitpid gives it; -1 when there is no child.
    int Wait() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, 0) == pid_)
            pid_ = 0;
        return pid_ == 0 ? status_ : -1;
    }

private:
    bool ReadByte(char& c) {
        pollfd ready{out_[0], POLLIN, 0};
        return out_[0] >= 0 && ::poll(&ready, 1, kGuardMilliseconds) == 1 &&
               ::read(out_[0], &c, 1) == 1;
    }

    int in_[2] = {-1, -1}, out_[2] = {-1, -1};
    pid_t pid_ = -1;
    int status_ = -1;
};

// Asks the condition again until it holds, of another process or the window system. The guard
// only ends a test that went wrong; it measures no speed.
inline bool WaitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// True: run the row here. As root, runs the current test in a copy of this executable without
// the rights over file modes, reports its outcome there (or a skip when the rights cannot be
// dropped) and returns false. Use as: if (!RunWithoutFileRights()) return;
inline bool RunWithoutFileRights() {
    const std::string drop = "--bounding-set=-dac_override,-dac_read_search";
    if (::geteuid() != 0 || std::getenv("ORVANE_WITHOUT_FILE_RIGHTS")) {
        return true;
    } else if (RunProgram({"setpriv", drop, "true"}) != 0) {
        GTEST_MESSAGE_("root, and setpriv cannot drop the rights over file modes",
                       ::testing::TestPartResult::kSkip);
        return false;
    }
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(RunProgram({"setpriv", drop, "env", "ORVANE_WITHOUT_FILE_RIGHTS=1", self, filter}), 0)
        << "the row failed without the rights over file modes";
    return false;
}
} // namespace testsupport
