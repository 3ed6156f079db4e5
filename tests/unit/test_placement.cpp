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
    for (const char* key : {"WindowState", "Left", "Top", "Height", "Width"}) {
        file += key + ("=" + (words >> word ? word : "")) + "\n";
    }
    return file;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
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

// Each row has its own settings file; the user's own file stays unused (the folder is writable).
template <typename Row> class Placement : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        IniFileName = dir_.FilePath("Orvane.ini");
        UserIniFileName = dir_.FilePath("config/Orvane.ini");
    }
    void TearDown() override { EXPECT_FALSE(std::filesystem::exists(UserIniFileName)); }
    TempDir dir_;
};

// Start-up goes on whatever the file says: the state asked, then the bounds moved to.
struct RestoreRow {
    const char* name;
    std::string file, calls; // calls: the state asked, then the bounds moved to when any
};
class Restore : public Placement<RestoreRow> {};

TEST_P(Restore, AsksStateThenBounds) {
    const RestoreRow& row = GetParam();
    ASSERT_TRUE(row.file.empty() || WriteBytes(IniFileName, row.file));
    FakePlacementWindow fake;
    FormPlacement("Main", fake, RestorePlacement);
    const std::size_t space = row.calls.find(' ');
    const std::string move =
        space == std::string::npos ? "" : " Move(" + row.calls.substr(space + 1) + ")";
    EXPECT_EQ(fake.Calls,
              "SetWindowState(" + row.calls.substr(0, space) + ")" + move + " DoEvents");
    EXPECT_EQ(ReadBytes(IniFileName), row.file); // a restore writes nothing
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Restore,
    ::testing::Values(
        RestoreRow{"first start maximized", "", "2"},
        RestoreRow{"closed normal", Main("0 120 -45 3000 4000"), "0 120,-45,4000,3000"},
        RestoreRow{"closed minimized opens normal", Main("1 12 45 30 40"), "0 12,45,40,30"},
        RestoreRow{"clamped to 32 bits", Main("0 9999999999 -9999999999 4294967296 2147483648"),
                   "0 2147483647,-2147483648,2147483647,2147483647"},
        RestoreRow{"NaN and infinity words", Main("nan NaN -inf 1.#INF Infinity"), "0"},
        RestoreRow{"halves to even", Main("1.5 2.5 -2.5 2147483646.5 2147483647.5"),
                   "2 2,-2,2147483647,2147483646"},
        RestoreRow{"binary garbage", "[Main]\nWindowState=\xff\x01\nLeft=\0\0\nTop=\x80\n"s, "2"},
        RestoreRow{"bounds restored", Main("0 1500 750 4500 6000"), "0 1500,750,6000,4500"}),
    [](const auto& info) { return RowName(info.param.name); });

struct SaveRow {
    const char* name;
    std::string before;
    std::array<double, 5> bounds; // state, left, top, width, height
    std::string after;
};
class Save : public Placement<SaveRow> {};

TEST_P(Save, WritesWholeNumbers) {
    const SaveRow& row = GetParam();
    ASSERT_TRUE(row.before.empty() || WriteBytes(IniFileName, row.before));
    FakePlacementWindow window;
    window.State = int(row.bounds[0]);
    std::copy(row.bounds.begin() + 1, row.bounds.end(), window.Bounds);
    FormPlacement("Main", window, SavePlacement);
    EXPECT_EQ(ReadBytes(IniFileName), row.after);
    EXPECT_EQ(window.Calls, "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Save,
    ::testing::Values(
        SaveRow{"normal, new file", "", {0, -15.4, 30, 6000, 4499.5}, Main("0 -15 30 4500 6000")},
        SaveRow{"maximized: the state only", Main("0 1 2 3 4"), {2, 5, 6, 7, 8}, Main("2 1 2 3 4")},
        SaveRow{"not numbers: whole 32-bit numbers",
                "",
                {0, NAN, -INFINITY, 1e300, 2.5},
                Main("0 0 -2147483648 2 2147483647")}),
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
    const platform::ScreenRect primary =
        row.screens.empty() ? platform::ScreenRect{} : row.screens[0];
    const platform::ScreenRect placed = platform::KeepOnScreen(row.outer, row.screens, primary);
    EXPECT_EQ(
        std::vector<int>({placed.Left, placed.Top, placed.Width, placed.Height}),
        std::vector<int>({row.placed.Left, row.placed.Top, row.placed.Width, row.placed.Height}));
}

const platform::ScreenRect kFirst{0, 0, 1920, 1080};
const std::vector<platform::ScreenRect> kOne{kFirst}, kTwo{kFirst, {1920, 0, 1280, 1024}};
INSTANTIATE_TEST_SUITE_P(
    Rows, KeepOnScreen,
    ::testing::Values(
        ScreenRow{"partly off stays", kOne, {-700, -50, 800, 600}, {-700, -50, 800, 600}},
        ScreenRow{"left of every screen", kOne, {-5000, 100, 800, 600}, {0, 100, 800, 600}},
        ScreenRow{"larger than the screen", kOne, {5000, 5000, 3000, 2000}, kFirst},
        ScreenRow{"across two screens", kTwo, {100, 100, 3000, 600}, {100, 100, 3000, 600}},
        ScreenRow{"second screen gone", kOne, {2000, 100, 800, 600}, {1120, 100, 800, 600}},
        ScreenRow{"enormous at the far corner",
                  kTwo,
                  {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                  {0, 0, 3200, 1080}},
        ScreenRow{
            "enormous from the lowest corner", kOne, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kFirst},
        ScreenRow{"negative size on the screen", kOne, {100, 100, -800, -600}, {100, 100, 0, 0}},
        ScreenRow{
            "negative size off every screen", kOne, {INT_MIN, 5000, INT_MIN, -1}, {0, 1079, 0, 0}},
        ScreenRow{"no screens", {}, {-5000, 100, 800, 600}, {-5000, 100, 800, 600}},
        ScreenRow{"only empty screens",
                  {{0, 0, 0, 0}, {5, 5, -10, 10}},
                  {9000, 9000, 80, 60},
                  {9000, 9000, 80, 60}},
        ScreenRow{"primary screen empty",
                  {{0, 0, 0, 0}, {1920, 0, 1280, 1024}},
                  {-5000, 100, 800, 600},
                  {1920, 100, 800, 600}}),
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
    for (const char* mine : {"config", "opt", "opt/Orvane.ini"}) {
        ASSERT_TRUE(!root || (!writable && mine[0] == 'o') ||
                    ::chown(path(mine).c_str(), 65534, 65534) == 0);
    }
    ASSERT_TRUE(root || writable || ::chmod(path("opt").c_str(), 0555) == 0);
    const auto run = [&](int mode) { // what the program asked of its window, and a link title
        Pipe said;
        const pid_t program = Fork([&] {
            if (root && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                         ::setresuid(65534, 65534, 65534) != 0)) {
                ::_exit(1);
            }
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
    const std::string mine = Main("0 300 450 6000 9000").substr(7);
    EXPECT_EQ(ReadBytes(path("opt/Orvane.ini")),
              writable ? Replaced(admin, "WindowState=2\r\n", Replaced(mine, "\n", "\r\n"))
                       : admin);
    EXPECT_EQ(ReadBytes(path("config/orvane/Orvane.ini")), writable ? "" : "[Main]\n" + mine);
}

INSTANTIATE_TEST_SUITE_P(Folders, InstalledProgram, ::testing::Bool(), [](const auto& info) {
    return RowName(info.param ? "program folder the user can write"
                              : "root-owned program folder, ordinary user");
});
} // namespace
