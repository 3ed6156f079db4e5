// The earlier instance: its lock, the search for its window, the pattern matcher and the letter
// case that the search and the command line use, the lock file's digest, and the start without
// the window library. Holders of locks are forks of this test (support/Process.h).
#include "app/FindWindowLike.h"
#include "app/Like.h"
#include "platform/StatusText.h"
#include "platform/TextCase.h"
#include "platform/process/InstanceLock.h"
#include "platform/process/Sha256.h"
#include "platform/x11/WindowTree.h"
#include "support/Process.h"
#include "support/Rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BrowserMod1;
using platform::Hwnd;
using platform::InstanceLock;
using testsupport::Process;
namespace fs = std::filesystem;

namespace {
// A failing row shows by its name.
using testsupport::operator<<;
using testsupport::RowName;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    while (count-- > 0)
        text += piece;
    return text;
}

// A folder of its own, removed with what it holds.
struct TempDir {
    std::string path = [] {
        std::string name = (fs::temp_directory_path() / "orvane-test-XXXXXX").string();
        return std::string(::mkdtemp(name.data()) ? name : "");
    }();
    ~TempDir() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Takes the instance lock and says whether it was first; holds it until stdin ends.
int HoldInstanceLock(const std::string& executable) {
    InstanceLock lock(executable);
    std::puts(lock.PrevInstance() ? "ready, not first" : "ready");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

// Locks a file exclusively, as a squatter would; holds it until stdin ends.
int HoldFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

// The environment a row changes, put back after it.
struct SavedEnvironment {
    std::map<std::string, std::optional<std::string>> saved;
    explicit SavedEnvironment(std::initializer_list<const char*> names) {
        for (const char* name : names)
            saved[name] =
                std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
    }
    ~SavedEnvironment() {
        for (const auto& [name, value] : saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
};

// A start (a fork holding the lock) tells whether an earlier instance holds it; lock files
// another account planted, or a lock that stays taken, never hold it up.
struct LockRow {
    const char* name;
    std::string setup, asked;
    bool previous;
};

class Lock : public testing::TestWithParam<LockRow> {
protected:
    static void SetUpTestSuite() {
        programs_ = new TempDir;
        std::fclose(std::fopen((*programs_ / "orvane").c_str(), "w"));
        fs::create_symlink(*programs_ / "orvane", *programs_ / "lien");
    }
    static void TearDownTestSuite() { delete programs_; }
    static TempDir* programs_;
};
TempDir* Lock::programs_ = nullptr;

TEST_P(Lock, AnswersWithoutWaiting) {
    const LockRow& row = GetParam();
    const std::string& setup = row.setup;
    const bool planted = setup == "file" || setup == "folder" || setup == "runtime";
    if (planted && ::geteuid() != 0)
        GTEST_SKIP() << "only root can plant a file of another account's (CI runs this as root)";
    const SavedEnvironment environment{"TMPDIR", "XDG_RUNTIME_DIR"};
    const TempDir temp;
    const auto giveAway = [](const std::string& path, mode_t mode) {
        return ::chown(path.c_str(), 65534, 65534) == 0 && ::chmod(path.c_str(), mode) == 0;
    };
    ::setenv("TMPDIR", temp.path.c_str(), 1);
    const bool runtime = setup != "file" && setup != "folder" && setup != "held";
    runtime ? ::setenv("XDG_RUNTIME_DIR", (temp / "run").c_str(), 1)
            : ::unsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(!runtime || ::mkdir((temp / "run").c_str(), 0700) == 0);
    const std::string program = *programs_ / "orvane";
    const std::string lockFile = InstanceLock::LockFilePath(program);
    const std::string folder = fs::path(lockFile).parent_path().string();
    std::optional<Process> holder, squatter;
    if (setup == "running" || setup == "ended" || setup == "killed") {
        holder.emplace([&] { return HoldInstanceLock(program); });
        ASSERT_EQ(holder->ReadLine(), "ready\n");
        setup == "ended" ? holder->CloseInput() : void();
        setup == "killed" ? holder->Kill() : void(); // no clean-up of its own
        setup != "running" ? void(holder->Wait()) : void();
    } else if (setup == "link") {
        fs::create_symlink(temp / "ailleurs", lockFile);
    } else if (planted) {
        ASSERT_TRUE(runtime || ::mkdir(folder.c_str(), 0700) == 0);
        std::fclose(std::fopen(lockFile.c_str(), "w"));
        ASSERT_TRUE(giveAway(lockFile, 0644));
        ASSERT_TRUE(setup == "file" ? ::chmod(folder.c_str(), 0700) == 0 : giveAway(folder, 0777));
    } else if (setup == "held") {
        ASSERT_FALSE(InstanceLock(program).PrevInstance()); // makes the file
    }
    if (planted || setup == "held") {
        squatter.emplace([&] { return HoldFile(lockFile); });
        ASSERT_EQ(squatter->ReadLine(), "held\n");
    }
    Process second([&] { return HoldInstanceLock(*programs_ / row.asked); });
    EXPECT_EQ(second.ReadLine(), row.previous ? "ready, not first\n" : "ready\n");
    EXPECT_FALSE(fs::exists(temp / "ailleurs"));
}

INSTANTIATE_TEST_SUITE_P(
    Instance, Lock,
    testing::Values(LockRow{"first instance", "", "orvane", false},
                    LockRow{"another running", "running", "orvane", true},
                    LockRow{"another program running", "running", "autre", false},
                    LockRow{"same file through a link", "running", "lien", true},
                    LockRow{"another ended normally", "ended", "orvane", false},
                    LockRow{"another killed: stale lock", "killed", "orvane", false},
                    LockRow{"planted symlink not followed", "link", "orvane", false},
                    LockRow{"other account's file in the private folder", "file", "orvane", false},
                    LockRow{"other account's folder in its place", "folder", "orvane", false},
                    LockRow{"runtime folder others can write", "runtime", "orvane", false},
                    LockRow{"own lock held exclusively", "held", "orvane", true}),
    RowName<LockRow>);

// A window tree that records the calls that change windows and cuts texts to the buffer asked.
struct FakeWindowTree : platform::WindowTree {
    struct Window {
        std::string caption, className;
        bool iconic = false;
        std::vector<Hwnd> children;
        Hwnd parent = 0;
    };
    Hwnd GetDesktopWindow() override { return 1; }
    Hwnd GetWindow(Hwnd window, int command) override {
        if (command == platform::GW_CHILD)
            return Windows[window].children.empty() ? 0 : Windows[window].children.front();
        const std::vector<Hwnd>& siblings = Windows[Windows[window].parent].children;
        const auto at = std::find(siblings.begin(), siblings.end(), window);
        return at == siblings.end() || at + 1 == siblings.end() ? 0 : *(at + 1);
    }
    std::string GetWindowText(Hwnd w, int n) override { return Cut(Windows[w].caption, n); }
    std::string GetClassName(Hwnd w, int n) override { return Cut(Windows[w].className, n); }
    bool IsIconic(Hwnd window) override { return Windows[window].iconic; }
    bool ShowWindow(Hwnd window, int command) override {
        return Record("ShowWindow(" + std::to_string(window) + "," + std::to_string(command) + ")");
    }
    bool SetForegroundWindow(Hwnd window) override {
        return Record("SetForegroundWindow(" + std::to_string(window) + ")");
    }
    bool Record(const std::string& call) {
        Calls += (Calls.empty() ? "" : " ") + call;
        return true;
    }
    std::string Cut(const std::string& text, int size) {
        BufferSizes.push_back(size);
        return platform::FirstCharacters(text, static_cast<std::size_t>(size - 1));
    }
    std::map<Hwnd, Window> Windows{{1, Window{}}};
    std::string Calls;
    std::vector<int> BufferSizes;
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
        shape = Replaced(Replaced(shape, "@", kAppCaption), "&", InstanceClassPattern());
        const bool child = shape.starts_with('>');
        shape.erase(0, child);
        const std::size_t bar = shape.find('|'), second = shape.find('|', bar + 1);
        const Hwnd window = Hwnd(tree.Windows.size() + 1), parent = child ? top : 1;
        tree.Windows[window] = {shape.substr(0, bar),
                                shape.substr(bar + 1, second - bar - 1),
                                second != std::string::npos,
                                {},
                                parent};
        tree.Windows[parent].children.push_back(window);
        top = child ? top : window;
    }
    EXPECT_EQ(ActivatePreviousInstance(tree), !GetParam().calls.empty());
    EXPECT_EQ(tree.Calls, GetParam().calls);
    EXPECT_EQ(tree.BufferSizes, std::vector<int>(2 * tree.Windows[1].children.size(), 255));
}

const std::string tail = " - @|&";
INSTANTIATE_TEST_SUITE_P(
    Instance, Search,
    testing::Values(
        SearchRow{"last match wins",
                  {"Autre|&", "Accueil - @|&", "@|Autre", "@|&", "x|y"},
                  "SetForegroundWindow(5)"},
        SearchRow{
            "child windows never found", {"Autre|Autre", ">@|&", "Cadre|Autre", ">Page - @|&"}, ""},
        SearchRow{"minimized: restored, brought forward",
                  {"@|&", "Page - @|&|min"},
                  "ShowWindow(3,9) SetForegroundWindow(3)"},
        SearchRow{
            "normal or maximized: state kept", {"@|&", "Page - @|&"}, "SetForegroundWindow(3)"},
        SearchRow{
            "caption of 254 characters", {Repeated("é", 234) + tail}, "SetForegroundWindow(2)"},
        SearchRow{"caption of 255 characters", {Repeated("é", 235) + tail}, ""},
        SearchRow{"Windows-1252 caption of 254 characters",
                  {std::string(234, '\xE9') + tail},
                  "SetForegroundWindow(2)"},
        SearchRow{"Windows-1252 caption of 255 characters", {std::string(235, '\xE9') + tail}, ""},
        SearchRow{"ending within the first 254",
                  {std::string(234, 't') + tail + std::string(5000, 'y')},
                  ""},
        SearchRow{"no caption yet", {"|&"}, ""}),
    RowName<SearchRow>);

// The pattern matcher, malformed patterns above all: they never fail and read as documented.
struct LikeRow {
    const char* name;
    std::string text, pattern;
    bool matches;
};

class Pattern : public testing::TestWithParam<LikeRow> {};

TEST_P(Pattern, Matches) {
    EXPECT_EQ(Like(GetParam().text, GetParam().pattern), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Instance, Pattern,
    testing::Values(
        LikeRow{"star matches the empty run", "Navigateur", "*Navigateur", true},
        LikeRow{"case differs", "navigateur", "Navigateur", false},
        LikeRow{"whole text, not a part", "Navigateur Ulmeco 2", "*Navigateur Ulmeco", false},
        LikeRow{"hash is a digit", "v7", "v#", true},
        LikeRow{"hash is not a letter", "vx", "v#", false},
        LikeRow{"question mark is one accented character", "é", "?", true},
        LikeRow{"question mark is one character outside the BMP", "\xF0\x9F\x98\x80", "?", true},
        LikeRow{"question mark is one Windows-1252 byte", "\xE9", "?", true},
        LikeRow{"Windows-1252 byte is its own character", "\xE9t\xE9", "?t?", true},
        LikeRow{"range of accented characters", "é", "[à-ï]", true},
        LikeRow{"negated list", "b", "[!a]", true},
        LikeRow{"negated list excludes", "a", "[!a]", false},
        LikeRow{"unclosed bracket is ordinary", "[ab", "[ab", true},
        LikeRow{"unclosed bracket is no list", "a", "[a", false},
        LikeRow{"closing bracket outside a list is ordinary", "a]", "a]", true},
        LikeRow{"dash first in a list is ordinary", "-", "[-a]", true},
        LikeRow{"dash last in a list is ordinary", "-", "[a-]", true},
        LikeRow{"dash after the bang is ordinary", "-", "[!-a]", false},
        LikeRow{"empty list matches the empty run", "ab", "a[]b", true},
        LikeRow{"empty list is no character", "axb", "a[]b", false},
        LikeRow{"negated empty list is any character", "x", "[!]", true},
        LikeRow{"negated empty list needs a character", "", "[!]", false},
        LikeRow{"reversed range adds nothing", "m", "[z-a]", false},
        LikeRow{"reversed range excludes nothing", "m", "[!z-a]", true},
        LikeRow{"star inside a list is ordinary", "x", "[*]", false},
        LikeRow{"question mark inside a list is ordinary", "?", "[?]", true},
        LikeRow{"hash inside a list is ordinary", "5", "[#]", false},
        LikeRow{"bracket inside a list is ordinary", "[", "[[]", true},
        LikeRow{"many stars take no exponential time", std::string(4000, 'a'),
                Repeated("*a", 40) + "b", false}),
    RowName<LikeRow>);

// Letter case of the command line and of the search's texts, by code point, whatever the
// process's locale; bytes that are not UTF-8 are Windows-1252 characters.
struct CaseRow {
    const char* name;
    std::string text, other;
    bool same;
};

class LetterCase : public testing::TestWithParam<CaseRow> {};

TEST_P(LetterCase, LowersAndCompares) {
    if (!GetParam().same) {
        EXPECT_FALSE(platform::SameIgnoringCase(GetParam().text, GetParam().other));
        return;
    }
    EXPECT_TRUE(platform::SameIgnoringCase(GetParam().text, GetParam().other));
    EXPECT_EQ(platform::LowerCase(GetParam().text), GetParam().other);
}

INSTANTIATE_TEST_SUITE_P(
    Instance, LetterCase,
    testing::Values(CaseRow{"ASCII", "ULMECO.FR/Accueil", "ulmeco.fr/accueil", true},
                    CaseRow{"accented capitals", "ÉCOLE À ÇA ÖL", "école à ça öl", true},
                    CaseRow{"Greek and Cyrillic", "ΣΟΦΙΑ МОСКВА", "σοφια москва", true},
                    CaseRow{"outside the BMP", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", true},
                    CaseRow{"Windows-1252 byte read as its character",
                            "\xC9"
                            "COLE",
                            "école", true},
                    CaseRow{"Windows-1252 euro sign kept", "\x80", "€", true},
                    CaseRow{"digits and signs kept", "A1-B2_€", "a1-b2_€", true},
                    CaseRow{"other letters differ", "école", "ecole", false},
                    CaseRow{"other lengths differ", "ÉCOLE", "écoles", false}),
    RowName<CaseRow>);

TEST(LetterCase, FinalSigmaMatchesSigmaIgnoringCase) {
    EXPECT_TRUE(platform::SameIgnoringCase("ΟΔΟΣ", "οδος"));
    EXPECT_TRUE(platform::SameIgnoringCase("ς", "Σ"));
    EXPECT_TRUE(platform::SameIgnoringCase("\xE2\x84\xAA", "k")); // the Kelvin sign
}

// SHA-256 known answers, around the lengths where the padding takes a second block.
struct DigestRow {
    const char* name;
    std::string bytes, hex;
};

class Digest : public testing::TestWithParam<DigestRow> {};

TEST_P(Digest, KnownAnswer) {
    EXPECT_EQ(platform::Sha256Hex(GetParam().bytes), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(
    Instance, Digest,
    testing::Values(
        DigestRow{"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        DigestRow{"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        DigestRow{"55 bytes: length fits the one block", std::string(55, 'a'),
                  "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        DigestRow{"56 bytes: length takes a second block",
                  "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        DigestRow{"64 bytes: padding alone in a second block", std::string(64, 'a'),
                  "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        DigestRow{"a million bytes", std::string(1000000, 'a'),
                  "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}),
    RowName<DigestRow>);

// The program without its window library says so in French, naming the file, and fails.
TEST(Start, WithoutWindowLibrary) {
    const char* binary = std::getenv("ORVANE_BINARY");
    ASSERT_NE(binary, nullptr) << "ORVANE_BINARY names the program";
    const TempDir program;
    ASSERT_TRUE(fs::copy_file(binary, program / "orvane"));
    Process start(std::vector<std::string>{program / "orvane", "accueil.example,courrier.example"});
    const std::string error = start.ReadAll();
    const int status = start.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << status;
    const std::string said = "fichier introuvable : " + program / "liborvane_gtk.so";
    EXPECT_TRUE(error.find(said) != std::string::npos && error.find("cannot") == std::string::npos)
        << error;
}

} // namespace
