// The window placement: what restores ask and saves write, hostile files included, and where
// the window goes on the screens.
#include "settings/FormPlacement.h"

#include "platform/ScreenFit.h"
#include "settings/Ini.h"
#include "support/Files.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <sys/stat.h>

using namespace BrowserMod1;
using namespace testsupport;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {
std::string Main(const std::string& fields) { // state, left, top, height, width
    std::istringstream words(fields);
    std::string file = "[Main]\n", word;
    for (const char* key : {"WindowState", "Left", "Top", "Height", "Width"})
        file += key + ("=" + (words >> word ? word : "")) + "\n";
    return file;
}

// A placement window that holds its state and bounds and records what is asked of it: "state=2
// move=left,top,width,height events".
struct FakePlacementWindow : platform::PlacementWindow {
    int WindowState() const override { return State; }
    void SetWindowState(int state) override { Call("state=" + std::to_string(State = state)); }
    double Left() const override { return Bounds[0]; }
    double Top() const override { return Bounds[1]; }
    double Width() const override { return Bounds[2]; }
    double Height() const override { return Bounds[3]; }
    void Move(double left, double top, double width, double height) override {
        char text[128];
        std::snprintf(text, sizeof text, "move=%.17g,%.17g,%.17g,%.17g", left, top, width, height);
        Call(text);
    }
    void DoEvents() override { Call("events"); }
    void Call(const std::string& call) { Calls += (Calls.empty() ? "" : " ") + call; }
    int State = 0;
    double Bounds[4] = {0, 0, 0, 0}; // left, top, width, height
    std::string Calls;               // separated by spaces
};

// Start-up goes on whatever the file says; a save writes whole numbers. Each row has its own
// settings file in a program folder the user can write, where the user's own file stays unused,
// or, installed, in one the user cannot write (run without the rights over file modes as root),
// where the user's own file holds the bounds and the program's stays as it was.
struct PlacementRow {
    const char* name;
    int mode;                         // RestorePlacement or SavePlacement
    std::string file;                 // the program's settings file before
    std::string expected;             // a restore: the calls asked; a save: the file written after
    std::string window{};             // for a save: "state left top width height"
    std::optional<std::string> own{}; // installed: the user's own file before ("": none)
};
class Placement : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(Placement, RestoresAndSaves) {
    const PlacementRow& row = GetParam();
    const bool installed = row.own.has_value(), save = row.mode == SavePlacement;
    if (installed && !RunWithoutFileRights())
        return;
    const TempDir dir;
    const std::string opt = dir.FilePath("opt");
    IniFileName = opt + "/Orvane.ini", UserIniFileName = dir.FilePath("config/orvane/Orvane.ini");
    const std::string& own = installed ? UserIniFileName : IniFileName;
    ASSERT_TRUE(::mkdir(opt.c_str(), 0755) == 0 &&
                (row.file.empty() || WriteBytes(IniFileName, row.file)));
    ASSERT_TRUE(!installed || row.own->empty() ||
                (fs::create_directories(fs::path(own).parent_path()) && WriteBytes(own, *row.own)));
    ASSERT_TRUE(!installed || ::chmod(opt.c_str(), 0555) == 0);
    FakePlacementWindow window;
    std::string fields = row.window; // strtod reads "nan" and "inf" too
    char* field = fields.data();
    window.State = int(std::strtod(field, &field));
    for (double& bound : window.Bounds)
        bound = std::strtod(field, &field);
    FormPlacement("Main", window, row.mode);
    EXPECT_EQ(save ? ReadBytes(own) : window.Calls, row.expected);
    EXPECT_EQ(save ? window.Calls : ReadBytes(own),
              save ? "" : row.own.value_or(row.file)); // nor more
    EXPECT_TRUE(installed ? ReadBytes(IniFileName) == row.file : !fs::exists(UserIniFileName));
    ::chmod(opt.c_str(), 0755); // for the folder's removal
}

const int kRestore = RestorePlacement, kSave = SavePlacement;
INSTANTIATE_TEST_SUITE_P(
    Rows, Placement,
    ::testing::ValuesIn(std::vector<PlacementRow>{
        {"first start maximized", kRestore, "", "state=2 events"},
        {"closed normal", kRestore, Main("0 120 -45 3000 4000"),
         "state=0 move=120,-45,4000,3000 events"},
        {"closed minimized opens normal", kRestore, Main("1 12 45 30 40"),
         "state=0 move=12,45,40,30 events"},
        {"clamped to 32 bits", kRestore, Main("0 9999999999 -9999999999 4294967296 2147483648"),
         "state=0 move=2147483647,-2147483648,2147483647,2147483647 events"},
        {"NaN and infinity words", kRestore, Main("nan NaN -inf 1.#INF Infinity"),
         "state=0 events"},
        {"halves to even", kRestore, Main("1.5 2.5 -2.5 2147483646.5 2147483647.5"),
         "state=2 move=2,-2,2147483647,2147483646 events"},
        {"binary garbage", kRestore, "[Main]\nWindowState=\xff\x01\nLeft=\0\0\nTop=\x80\n"s,
         "state=2 events"},
        {"normal, new file", kSave, "", Main("0 -15 30 4500 6000"), "0 -15.4 30 6000 4499.5"},
        {"maximized: the state only", kSave, Main("0 1 2 3 4"), Main("2 1 2 3 4"), "2 5 6 7 8"},
        {"not numbers: 32-bit", kSave, "", Main("0 0 -2147483648 2 2147483647"),
         "0 nan -inf 1e300 2.5"},
        {"installed: saved to the user's own file", kSave, Main("2"), Main("0 300 450 6000 9000"),
         "0 300 450 9000 6000", ""},
        {"installed: restored from the user's own file", kRestore, Main("2"),
         "state=0 move=300,450,9000,6000 events", "", Main("0 300 450 6000 9000")}}),
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

} // namespace
