// The window placement: what restores ask and saves write, hostile files included, and an
// installed program run by an ordinary user (a forked copy of this process).
#include "settings/FormPlacement.h"

#include "platform/ScreenFit.h"
#include "settings/Ini.h"
#include "support/Files.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>

using namespace BrowserMod1;
using namespace testsupport;
using namespace std::string_literals;

namespace {
std::string Main(const std::string& fields) { // state, left, top, height, width
    std::istringstream words(fields);
    std::string file = "[Main]\n", word;
    for (const char* key : {"WindowState", "Left", "Top", "Height", "Width"})
        file += key + ("=" + (words >> word ? word : "")) + "\n";
    return file;
}

// A placement window that holds its state and bounds and records what is asked of it.
struct FakePlacementWindow : platform::PlacementWindow {
    int WindowState() const override { return State; }
    void SetWindowState(int state) override {
        Call("SetWindowState(" + std::to_string(State = state) + ")");
    }
    double Left() const override { return Bounds[0]; }
    double Top() const override { return Bounds[1]; }
    double Width() const override { return Bounds[2]; }
    double Height() const override { return Bounds[3]; }
    void Move(double left, double top, double width, double height) override {
        char text[128];
        std::snprintf(text, sizeof text, "Move(%.17g,%.17g,%.17g,%.17g)", left, top, width, height);
        Call(text);
    }
    void DoEvents() override { Call("DoEvents"); }
    void Call(const std::string& call) { Calls += (Calls.empty() ? "" : " ") + call; }
    int State = 0;
    double Bounds[4] = {0, 0, 0, 0}; // left, top, width, height
    std::string Calls;               // separated by spaces
};

// A restore's calls from "state left,top,width,height": the state asked, the bounds moved to.
std::string Asked(const std::string& calls) {
    const std::size_t space = calls.find(' ');
    const std::string move =
        space == std::string::npos ? "" : " Move(" + calls.substr(space + 1) + ")";
    return "SetWindowState(" + calls.substr(0, space) + ")" + move + " DoEvents";
}

// Start-up goes on whatever the file says; a save writes whole numbers. Each row has its own
// settings file; the user's own file stays unused (the folder is writable).
struct PlacementRow {
    const char* name;
    int mode;                       // RestorePlacement or SavePlacement
    std::string file;               // the settings file before
    std::string expected;           // a restore: the calls asked; a save: the file after
    std::array<double, 5> window{}; // for a save: state, left, top, width, height
};
class Placement : public ::testing::TestWithParam<PlacementRow> {
protected:
    void SetUp() override {
        IniFileName = dir_.FilePath("Orvane.ini");
        UserIniFileName = dir_.FilePath("config/Orvane.ini");
    }
    void TearDown() override { EXPECT_FALSE(std::filesystem::exists(UserIniFileName)); }
    TempDir dir_;
};

TEST_P(Placement, RestoresAndSaves) {
    const PlacementRow& row = GetParam();
    ASSERT_TRUE(row.file.empty() || WriteBytes(IniFileName, row.file));
    FakePlacementWindow window;
    window.State = int(row.window[0]);
    std::copy(row.window.begin() + 1, row.window.end(), window.Bounds);
    FormPlacement("Main", window, row.mode);
    const bool save = row.mode == SavePlacement;
    EXPECT_EQ(save ? ReadBytes(IniFileName) : window.Calls, row.expected);
    EXPECT_EQ(save ? window.Calls : ReadBytes(IniFileName), save ? "" : row.file); // nor more
}

const int kRestore = RestorePlacement, kSave = SavePlacement;
INSTANTIATE_TEST_SUITE_P(
    Rows, Placement,
    ::testing::ValuesIn(std::vector<PlacementRow>{
        {"first start maximized", kRestore, "", Asked("2")},
        {"closed normal", kRestore, Main("0 120 -45 3000 4000"), Asked("0 120,-45,4000,3000")},
        {"closed minimized opens normal", kRestore, Main("1 12 45 30 40"), Asked("0 12,45,40,30")},
        {"clamped to 32 bits", kRestore, Main("0 9999999999 -9999999999 4294967296 2147483648"),
         Asked("0 2147483647,-2147483648,2147483647,2147483647")},
        {"NaN and infinity words", kRestore, Main("nan NaN -inf 1.#INF Infinity"), Asked("0")},
        {"halves to even", kRestore, Main("1.5 2.5 -2.5 2147483646.5 2147483647.5"),
         Asked("2 2,-2,2147483647,2147483646")},
        {"binary garbage", kRestore, "[Main]\nWindowState=\xff\x01\nLeft=\0\0\nTop=\x80\n"s,
         Asked("2")},
        {"normal, new file", kSave, "", Main("0 -15 30 4500 6000"), {0, -15.4, 30, 6000, 4499.5}},
        {"maximized: the state only", kSave, Main("0 1 2 3 4"), Main("2 1 2 3 4"), {2, 5, 6, 7, 8}},
        {"not numbers: 32-bit",
         kSave,
         "",
         Main("0 0 -2147483648 2 2147483647"),
         {0, NAN, -INFINITY, 1e300, 2.5}}}),
    [](const auto& info) { return RowName(info.param.name); });

// Where the window goes on the screens: a window partly off a screen stays; off every screen it
// comes back onto the primary one; larger than all screens together, it is cut to their extent.
struct ScreenRow {
    const char* name;
    std::vector<platform::ScreenRect> screens; // the first is the primary screen
    platform::ScreenRect outer, placed;
};
class KeepOnScreen : public ::testing::TestWithParam<ScreenRow> {};

TEST_P(KeepOnScreen, PlacesWithinReach) {
    const ScreenRow& row = GetParam();
    const auto fields = [](platform::ScreenRect r) {
        return std::vector<int>{r.Left, r.Top, r.Width, r.Height};
    };
    const platform::ScreenRect primary =
        row.screens.empty() ? platform::ScreenRect{} : row.screens[0];
    EXPECT_EQ(fields(platform::KeepOnScreen(row.outer, row.screens, primary)), fields(row.placed));
}

const platform::ScreenRect kFirst{0, 0, 1920, 1080};
const platform::ScreenRect kSecond{1920, 0, 1280, 1024}, kMax{INT_MAX, INT_MAX, INT_MAX, INT_MAX};
const std::vector<platform::ScreenRect> kOne{kFirst}, kTwo{kFirst, kSecond},
    kEmptyOnes{{0, 0, 0, 0}, {5, 5, -10, 10}}, kSecondOnly{{0, 0, 0, 0}, kSecond};
INSTANTIATE_TEST_SUITE_P(
    Rows, KeepOnScreen,
    ::testing::ValuesIn(std::vector<ScreenRow>{
        {"partly off stays", kOne, {-700, -50, 800, 600}, {-700, -50, 800, 600}},
        {"left of every screen", kOne, {-5000, 100, 800, 600}, {0, 100, 800, 600}},
        {"larger than the screen", kOne, {5000, 5000, 3000, 2000}, kFirst},
        {"across two screens", kTwo, {100, 100, 3000, 600}, {100, 100, 3000, 600}},
        {"second screen gone", kOne, {2000, 100, 800, 600}, {1120, 100, 800, 600}},
        {"enormous at the far corner", kTwo, kMax, {0, 0, 3200, 1080}},
        {"enormous from the lowest corner", kOne, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kFirst},
        {"negative size on the screen", kOne, {100, 100, -800, -600}, {100, 100, 0, 0}},
        {"negative size off every screen", kOne, {INT_MIN, 5000, INT_MIN, -1}, {0, 1079, 0, 0}},
        {"no screens", {}, {-5000, 100, 800, 600}, {-5000, 100, 800, 600}},
        {"only empty screens", kEmptyOnes, {9000, 9000, 80, 60}, {9000, 9000, 80, 60}},
        {"primary screen empty", kSecondOnly, {-5000, 100, 800, 600}, {1920, 100, 800, 600}}}),
    [](const auto& info) { return RowName(info.param.name); });

// Bounds saved and restored by an installed program run as uid 65534 (when root): where the
// folder is root's, they go to the user's own file and the administrator's stays as it was.
class InstalledProgram : public ::testing::TestWithParam<bool> {};

TEST_P(InstalledProgram, KeepsTheAdministratorsFile) {
    const bool writable = GetParam(), root = ::geteuid() == 0;
    TempDir base;
    const auto path = [&](const char* name) { return base.FilePath(name); };
    ASSERT_TRUE(::chmod(base.Path().c_str(), 0755) == 0 &&
                ::mkdir(path("opt").c_str(), 0755) == 0 &&
                ::mkdir(path("config").c_str(), 0755) == 0);
    const std::string admin = "[Liens]\r\nTitre1=Docs\r\n[Main]\r\nWindowState=2\r\n";
    ASSERT_TRUE(WriteBytes(path("opt/Orvane.ini"), admin));
    for (const char* mine : {"config", "opt", "opt/Orvane.ini"})
        ASSERT_TRUE(!root || (!writable && mine[0] == 'o') ||
                    ::chown(path(mine).c_str(), 65534, 65534) == 0);
    ASSERT_TRUE(root || writable || ::chmod(path("opt").c_str(), 0555) == 0);
    const auto run = [&](int mode) { // what the program asked of its window, and a link title
        Pipe said;
        const pid_t program = Fork([&] {
            if (root && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                         ::setresuid(65534, 65534, 65534) != 0))
                ::_exit(1);
            IniFileName = path("opt/Orvane.ini");
            UserIniFileName = path("config/orvane/Orvane.ini");
            FakePlacementWindow window;
            std::copy_n(std::begin({300.0, 450.0, 9000.0, 6000.0}), 4, window.Bounds);
            FormPlacement("Main", window, mode);
            const std::string text = window.Calls + " " + IniReadDefault("Liens", "Titre1");
            ::_exit(::write(said.fd[1], text.data(), text.size()) == ssize_t(text.size()) ? 0 : 1);
        });
        said.Close(1);
        std::string text(4096, '\0');
        text.resize(std::max<ssize_t>(0, ::read(said.fd[0], text.data(), text.size())));
        return Wait(program) == 0 ? text : "the program failed";
    };
    EXPECT_EQ(run(SavePlacement), " Docs");
    EXPECT_EQ(run(RestorePlacement), "SetWindowState(0) Move(300,450,9000,6000) DoEvents Docs");
    ::chmod(path("opt").c_str(), 0755);
    const std::string mine = "WindowState=0\nLeft=300\nTop=450\nHeight=6000\nWidth=9000\n";
    const std::string crlf =
        "WindowState=0\r\nLeft=300\r\nTop=450\r\nHeight=6000\r\nWidth=9000\r\n";
    EXPECT_EQ(ReadBytes(path("opt/Orvane.ini")), writable ? admin.substr(0, 30) + crlf : admin);
    EXPECT_EQ(ReadBytes(path("config/orvane/Orvane.ini")), writable ? "" : "[Main]\n" + mine);
}

INSTANTIATE_TEST_SUITE_P(Folders, InstalledProgram, ::testing::Bool(), [](const auto& info) {
    return RowName(info.param ? "program folder the user can write"
                              : "root-owned program folder, ordinary user");
});
} // namespace
