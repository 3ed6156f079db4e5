#pragma once
// The real program with its GTK window library, copied into a fresh folder that is also its
// home, started as the host starts it, as this test's user or as another account, with a
// session bus of its own. Every process group started ends with the object.
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

// The account a program runs as: this test's own (Uid < 0), or another one through setpriv.
struct Account {
    int Uid = -1;
    std::vector<std::string> Prefix() const {
        if (Uid < 0)
            return {};
        const std::string id = std::to_string(Uid);
        return {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups"};
    }
};

class ProgramRun {
public:
    explicit ProgramRun(Account account = {}) : account_(account) {
        static int made = 0;
        folder_ = std::filesystem::temp_directory_path() /
                  ("orvane-run-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
        std::filesystem::create_directories(folder_ / "runtime");
        ::chmod(folder_.c_str(), 0755);
        ::chmod((folder_ / "runtime").c_str(), 0700);
        std::ofstream(folder_ / "stderr").flush();
        for (const char* variable : {"ORVANE_BINARY", "ORVANE_GUI_LIBRARY"}) {
            const std::filesystem::path file = std::getenv(variable);
            std::filesystem::copy_file(file, folder_ / file.filename());
        }
        if (account.Uid >= 0)
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_))
                (void)::chown(entry.path().c_str(), uid_t(account.Uid), gid_t(account.Uid));
        if (account.Uid >= 0)
            (void)::chown(folder_.c_str(), uid_t(account.Uid), gid_t(account.Uid));
    }
    ~ProgramRun() {
        for (auto group = started_.rbegin(); group != started_.rend(); ++group) {
            ::kill(-*group, SIGKILL);
            ::waitpid(*group, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // A private session bus for the account, as a desktop gives one (without one the toolkit
    // launches a bus that outlives the test); false when none started.
    bool StartSessionBus() {
        int out[2];
        if (::pipe(out) != 0)
            return false;
        std::vector<std::string> argv = account_.Prefix();
        for (const char* arg :
             {"/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"})
            argv.push_back(arg);
        const pid_t child = Spawn(argv, out[1]);
        ::close(out[1]);
        std::string address;
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            address += c;
        ::close(out[0]);
        bus_ = address;
        return child > 0 && !address.empty();
    }
    // Starts the program with the one argument; its output goes to the file that the bus's
    // goes to too.
    pid_t Start(const std::string& commandLine) {
        std::vector<std::string> argv = account_.Prefix();
        argv.push_back((folder_ / "orvane").string());
        argv.push_back(commandLine);
        return Spawn(argv, -1);
    }
    std::string ErrorOutput() const {
        std::ifstream in(folder_ / "stderr");
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    const std::filesystem::path& Folder() const { return folder_; }
    const std::string& Bus() const { return bus_; }

private:
    // Runs argv in a process group of its own, in the program's environment; the descriptor
    // given becomes descriptor 3.
    pid_t Spawn(const std::vector<std::string>& argv, int three) {
        const std::string home = folder_.string(), runtime = (folder_ / "runtime").string(),
                          errors = (folder_ / "stderr").string();
        const pid_t child = ::fork();
        if (child == 0) {
            ::setpgid(0, 0);
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            for (const char* variable :
                 {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "NO_AT_BRIDGE"})
                ::unsetenv(variable);
            // Another account reaches the test's X server as a local client, without the test
            // user's authority file.
            if (account_.Uid >= 0)
                ::unsetenv("XAUTHORITY");
            if (!bus_.empty())
                ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_.c_str(), 1);
            else
                ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
            const int file = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            ::dup2(file, STDERR_FILENO);
            ::dup2(file, STDOUT_FILENO);
            if (three >= 0)
                ::dup2(three, 3);
            ::close_range(4, ~0U, 0);
            std::vector<char*> args;
            for (const std::string& arg : argv)
                args.push_back(const_cast<char*>(arg.c_str()));
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        if (child > 0)
            started_.push_back(child);
        return child;
    }

    Account account_;
    std::filesystem::path folder_;
    std::string bus_;
    std::vector<pid_t> started_;
};

} // namespace testsupport
