// The earlier instance: its lock, the search for its window, the pattern matcher where its fuzz
// driver cannot reach, and the start without the window library. Holders of locks are forks of
// this test (support/Files.h). Letter case and the lock file's digest are fuzzed.
#include "app/FindWindowLike.h"
#include "app/Like.h"
#include "platform/StatusText.h"
#include "platform/process/InstanceLock.h"
#include "platform/x11/WindowTree.h"
#include "support/Files.h"
#include "support/Rows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>

using namespace BrowserMod1;
using platform::Hwnd;
using platform::InstanceLock;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {
using testsupport::operator<<;

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    while (count-- > 0)
        text += piece;
    return text;
}

// Says what it holds, then holds it until stdin ends.
int Hold(const char* said) {
    std::puts(said), std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

int HoldInstanceLock(const std::string& executable) {
    InstanceLock lock(executable);
    return Hold(lock.PrevInstance() ? "ready, not first" : "ready");
}

// An environment variable as the row found it, put back after it.
struct SavedVariable {
    const char* name;
    const bool found = std::getenv(name);
    const std::string value = found ? std::getenv(name) : "";
    ~SavedVariable() { found ? ::setenv(name, value.c_str(), 1) : ::unsetenv(name); }
};

// A start (a fork holding the lock) tells whether an earlier instance holds it; lock files
// another account planted, or a lock that stays taken, never hold it up.
struct LockRow {
    const char* name;
    std::string setup, asked;
    bool previous;
};
class Lock : public testing::TestWithParam<LockRow> {};

TEST_P(Lock, AnswersWithoutWaiting) {
    const std::string& setup = GetParam().setup;
    const bool planted = setup == "file" || setup == "folder" || setup == "runtime";
    if (planted && ::geteuid() != 0)
        GTEST_SKIP() << "only root can plant a file of another account's (CI runs this as root)";
    const SavedVariable tmp{"TMPDIR"}, runtimeDir{"XDG_RUNTIME_DIR"};
    const TempDir temp;
    const auto path = [&](const std::string& name) { return temp.FilePath(name); };
    const auto giveAway = [](const std::string& path, mode_t mode) {
        return ::chown(path.c_str(), 65534, 65534) == 0 && ::chmod(path.c_str(), mode) == 0;
    };
    ::setenv("TMPDIR", temp.Path().c_str(), 1);
    const bool runtime = setup != "file" && setup != "folder" && setup != "held";
    runtime ? ::setenv("XDG_RUNTIME_DIR", path("run").c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(!runtime || ::mkdir(path("run").c_str(), 0700) == 0);
    const std::string program = path("orvane"), lockFile = InstanceLock::LockFilePath(program);
    const std::string folder = fs::path(lockFile).parent_path().string();
    std::fclose(std::fopen(program.c_str(), "w"));
    fs::create_symlink(program, path("lien"));
    std::optional<Process> holder, squatter;
    if (setup == "running" || setup == "killed") {
        holder.emplace([&] { return HoldInstanceLock(program); });
        ASSERT_EQ(holder->ReadLine(), "ready\n");
        setup == "killed" ? holder->Kill(), void(holder->Wait()) : void(); // no clean-up of its own
    } else if (setup == "link") {
        fs::create_symlink(path("ailleurs"), lockFile);
    } else if (planted) {
        ASSERT_TRUE(runtime || ::mkdir(folder.c_str(), 0700) == 0);
        std::fclose(std::fopen(lockFile.c_str(), "w"));
        ASSERT_TRUE(giveAway(lockFile, 0644));
        ASSERT_TRUE(setup == "file" ? ::chmod(folder.c_str(), 0700) == 0 : giveAway(folder, 0777));
    } else if (setup == "held") {
        ASSERT_FALSE(InstanceLock(program).PrevInstance()); // makes the file
    }
    if (planted || setup == "held") { // a squatter locks the file exclusively
        squatter.emplace([&] {
            const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
            return fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? Hold("held") : 1;
        });
        ASSERT_EQ(squatter->ReadLine(), "held\n");
    }
    Process second([&] { return HoldInstanceLock(path(GetParam().asked)); });
    EXPECT_EQ(second.ReadLine(), GetParam().previous ? "ready, not first\n" : "ready\n");
    EXPECT_FALSE(fs::exists(path("ailleurs")));
}

INSTANTIATE_TEST_SUITE_P(Instance, Lock,
                         testing::ValuesIn(std::vector<LockRow>{
                             {"another running", "running", "orvane", true},
                             {"another program running", "running", "autre", false},
                             {"same file through a link", "running", "lien", true},
                             {"another killed: stale lock", "killed", "orvane", false},
                             {"planted symlink not followed", "link", "orvane", false},
                             {"other account's file in the private folder", "file", "orvane",
                              false},
                             {"other account's folder in its place", "folder", "orvane", false},
                             {"runtime folder others can write", "runtime", "orvane", false},
                             {"own lock held exclusively", "held", "orvane", true}}),
                         RowName<LockRow>);

// Window n is windows[n - 1], 1 the desktop; texts are cut to the buffer asked.
struct FakeWindowTree : platform::WindowTree {
    struct Window {
        std::string caption, className;
        bool iconic;
        Hwnd parent;
    };
    Window& At(Hwnd window) { return windows[window - 1]; }
    Hwnd GetDesktopWindow() override { return 1; }
    Hwnd GetWindow(Hwnd window, int command) override {
        const bool child = command == platform::GW_CHILD;
        for (Hwnd next = child ? 2 : window + 1; next <= windows.size(); ++next)
            if (At(next).parent == (child ? window : At(window).parent))
                return next;
        return 0;
    }
    std::string GetWindowText(Hwnd w, int n) override { return Cut(At(w).caption, n); }
    std::string GetClassName(Hwnd w, int n) override { return Cut(At(w).className, n); }
    static std::string Cut(const std::string& text, int size) {
        return platform::FirstCharacters(text, static_cast<std::size_t>(size - 1));
    }
    bool IsIconic(Hwnd window) override { return At(window).iconic; }
    bool ShowWindow(Hwnd window, int command) override {
        return Record("ShowWindow(" + std::to_string(window) + "," + std::to_string(command) + ")");
    }
    bool SetForegroundWindow(Hwnd window) override {
        return Record("SetForegroundWindow(" + std::to_string(window) + ")");
    }
    bool Record(const std::string& call) {
        calls += (calls.empty() ? "" : " ") + call;
        return true;
    }
    std::vector<Window> windows{{"", "", false, 0}};
    std::string calls;
};

// Windows: "caption|class", a leading '>' for a child of the window before, a trailing
// "|min" when minimized; '@' stands for the caption prefix, '&' for the window class.
struct SearchRow {
    const char* name;
    std::vector<std::string> windows;
    std::string calls;
};
class Search : public testing::TestWithParam<SearchRow> {};

TEST_P(Search, FindsTheLastMatchingTopLevelWindow) {
    FakeWindowTree tree;
    Hwnd top = 1;
    for (std::string shape : GetParam().windows) {
        for (std::size_t at; (at = shape.find_first_of("@&")) != shape.npos;)
            shape.replace(at, 1, shape[at] == '@' ? kAppCaption : InstanceClassPattern());
        const bool child = shape.starts_with('>');
        const std::size_t bar = shape.find('|'), second = shape.find('|', bar + 1);
        tree.windows.push_back({shape.substr(child, bar - child),
                                shape.substr(bar + 1, second - bar - 1),
                                second != std::string::npos, child ? top : 1});
        top = child ? top : Hwnd(tree.windows.size());
    }
    EXPECT_EQ(ActivatePreviousInstance(tree), !GetParam().calls.empty());
    EXPECT_EQ(tree.calls, GetParam().calls);
}

const std::string tail = " - @|&";
INSTANTIATE_TEST_SUITE_P(
    Instance, Search,
    testing::ValuesIn(std::vector<SearchRow>{
        {"last match wins, its state kept",
         {"Autre|&", "Accueil - @|&", "@|Autre", "@|&", "x|y"},
         "SetForegroundWindow(5)"},
        {"child windows never found", {"Autre|Autre", ">@|&", "Cadre|Autre", ">Page - @|&"}, ""},
        {"minimized: restored, brought forward",
         {"@|&", "Page - @|&|min"},
         "ShowWindow(3,9) SetForegroundWindow(3)"},
        {"caption of 254 characters, UTF-8 and Windows-1252, found; of 255 cut",
         {Repeated("é", 117) + std::string(117, '\xE9') + tail,
          Repeated("é", 118) + std::string(117, '\xE9') + tail},
         "SetForegroundWindow(2)"},
        {"ending within the first 254",
         {std::string(234, 't') + tail + std::string(5000, 'y')},
         ""},
        {"no caption yet", {"|&"}, ""}}),
    RowName<SearchRow>);

// The pattern matcher where its fuzz driver cannot reach (its malformed lists and many stars are
// seeds there): bytes that are not UTF-8 are one character each.
TEST(Pattern, Windows1252ByteIsOneCharacter) {
    EXPECT_TRUE(Like("é😀\xE9t", "???t"));
}

// The program without its window library says so in French, naming the file, and fails.
TEST(Start, WithoutWindowLibrary) {
    const char* binary = std::getenv("ORVANE_BINARY");
    ASSERT_NE(binary, nullptr) << "ORVANE_BINARY names the program";
    const TempDir program;
    ASSERT_TRUE(fs::copy_file(binary, program.FilePath("orvane")));
    Process start(std::vector<std::string>{program.FilePath("orvane"), "accueil.fr,courrier.fr"});
    const std::string error = start.ReadAll();
    const int status = start.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << status;
    const std::string said = "fichier introuvable : " + program.FilePath("liborvane_gtk.so");
    EXPECT_TRUE(error.find(said) != std::string::npos && error.find("cannot") == std::string::npos)
        << error;
}
} // namespace
