#pragma once
// The real program with its GTK window library, copied into a fresh folder that is also its
// home (settings and instance lock go by the executable's path), started as the host starts it.
// Every process group started ends with the object; the output of all shows when the test failed.
#include "support/Files.h"

#include <csignal>
#include <iostream>
#include <sys/stat.h>

namespace testsupport {

struct RunOptions {
    int Uid = -1;        // another account's, switched to by setpriv; -1: the test's own
    bool OwnBus = false; // a private session bus, as a desktop gives; else the runner's
};

class ProgramRun {
public:
    explicit ProgramRun(RunOptions options = {}) : options_(options) {
        ::chmod(folder_.c_str(), 0755);
        ::mkdir((folder_ / "runtime").c_str(), 0700);
        for (const char* variable : {"ORVANE_BINARY", "ORVANE_GUI_LIBRARY"}) {
            const std::filesystem::path file = std::getenv(variable);
            std::filesystem::copy_file(file, folder_ / file.filename());
        }
        if (options_.Uid >= 0) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_))
                (void)::chown(entry.path().c_str(), options_.Uid, options_.Uid);
            (void)::chown(folder_.c_str(), options_.Uid, options_.Uid);
        }
        if (options_.OwnBus) { // else the toolkit would launch one that outlives the test
            bus_ = "unix:path=" + (folder_ / "bus").string();
            Spawn({"/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile",
                   "--address=" + bus_});
            EXPECT_TRUE(WaitFor([this] { return std::filesystem::exists(folder_ / "bus"); }))
                << "no session bus";
        }
    }
    ~ProgramRun() {
        for (auto group = started_.rbegin(); group != started_.rend(); ++group) {
            ::kill(-*group, SIGKILL);
            ::waitpid(*group, nullptr, 0);
        }
        if (testing::Test::HasFailure())
            std::cerr << "The program's output:\n" << Output();
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    pid_t Start(const std::string& commandLine) {
        return Spawn({(folder_ / "orvane").string(), commandLine});
    }
    // The exit code once the process has ended, -1 when it did not end normally in time.
    int Finished(pid_t child) {
        int status = -1;
        const bool ended = WaitFor([&] { return ::waitpid(child, &status, WNOHANG) == child; });
        if (ended)
            std::erase(started_, child);
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool Running(pid_t child) { return ::waitpid(child, nullptr, WNOHANG) == 0; }
    std::string Output() const { return ReadBytes(folder_ / "output"); }
    std::string Settings() const { return ReadBytes(folder_ / "Orvane.ini"); }
    const std::filesystem::path& Folder() const { return folder_; }
    const std::string& Bus() const { return bus_; } // empty without one

private:
    // Runs argv as the account, in a process group of its own, in the program's environment.
    pid_t Spawn(std::vector<std::string> argv) {
        if (options_.Uid >= 0) {
            const std::string id = std::to_string(options_.Uid);
            argv.insert(argv.begin(),
                        {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups"});
        }
        const std::string output = (folder_ / "output").string();
        const pid_t child = Fork([&] {
            ::setpgid(0, 0);
            ::setenv("HOME", folder_.c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", (folder_ / "runtime").c_str(), 1);
            for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
                ::unsetenv(variable);
            if (options_.Uid >= 0) // another account reaches the X server as a local client
                ::unsetenv("XAUTHORITY");
            if (options_.OwnBus)
                ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_.c_str(), 1), ::unsetenv("NO_AT_BRIDGE");
            const int file = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            ::dup2(file, STDERR_FILENO), ::dup2(file, STDOUT_FILENO);
            ::close_range(3, ~0U, 0);
            Exec(argv);
        });
        if (child > 0)
            started_.push_back(child);
        return child;
    }

    RunOptions options_;
    TempDir dir_; // removed once every process has ended
    std::filesystem::path folder_ = dir_.Path();
    std::string bus_;
    std::vector<pid_t> started_;
};

} // namespace testsupport
