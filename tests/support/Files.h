#pragma once
// Whole files byte for byte in a temporary folder, test rows run with permission bits enforced
// even as root, and names for test rows. No toolkit: std::string and POSIX.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <sys/wait.h>
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

inline long long FileSize(const std::string& path) { // -1 when missing
    std::error_code missing;
    const std::uintmax_t size = std::filesystem::file_size(path, missing);
    return missing ? -1 : (long long)size;
}

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return file.write(bytes.data(), std::streamsize(bytes.size())) && file.flush();
}

// The folder's entries, hidden ones too, sorted; with a pattern, those it matches somewhere.
inline std::vector<std::string> FolderEntries(const std::string& folder,
                                              const std::string& pattern = "") {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        std::string name = entry.path().filename();
        if (std::regex_search(name, std::regex(pattern))) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A row's name for GoogleTest: each run of other characters than letters and digits becomes "_".
inline std::string RowName(const std::string& text) {
    std::string name;
    for (const char c : text) {
        const bool kept =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (kept || (!name.empty() && name.back() != '_')) {
            name += kept ? c : '_';
        }
    }
    return name.ends_with('_') ? name.substr(0, name.size() - 1) : name;
}

// A pipe; both ends close with it.
struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fd, O_CLOEXEC) != 0) {
            fd[0] = fd[1] = -1;
        }
    }
    ~Pipe() { Close(0), Close(1); }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void Close(int end) {
        if (fd[end] >= 0) {
            ::close(std::exchange(fd[end], -1));
        }
    }
};

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

// The exit status of a program run to its end (127 when it cannot be started).
inline int RunProgram(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    return Wait(Fork([&] { ::execvp(args[0], args.data()), ::_exit(127); }));
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
    ::setenv("ORVANE_WITHOUT_FILE_RIGHTS", "1", 1); // for the copy only
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    const int code = RunProgram({"setpriv", drop, self, filter});
    ::unsetenv("ORVANE_WITHOUT_FILE_RIGHTS");
    EXPECT_EQ(code, 0) << "the row failed without the rights over file modes";
    return false;
}
} // namespace testsupport
