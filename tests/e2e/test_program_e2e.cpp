// The real program as the host application starts it, seen and driven from outside as another
// X11 client, a person at the keyboard and a screen reader: under openbox its starts, settings and
// second start (the last again under weston's X window manager), the web processes' sandbox, and
// what its windows tell assistive technologies over AT-SPI (tests/support/atspi-tree).
#include "about/ProgramInfo.h"
#include "browser/ButtonTable.h"
#include "browser/ButtonTexts.h"
#include "support/HttpServer.h"
#include "support/ProgramRun.h"
#include "support/XDisplay.h"

#include <gtest/gtest.h>

#include <map>

namespace {

namespace fs = std::filesystem;
using namespace testsupport;

// The test's server: each path under /echo/ a page titled with the path, and /held a page that
// never ends loading.
HttpServer& Server() {
    static HttpServer server;
    static const bool listening = [] {
        server.Route("/echo/*", [](const HttpRequest& request) {
            return HttpServer::Html(request.Path, "<p>" + request.Path + "</p>");
        });
        server.Route("/held",
                     {200, {{"Content-Type", "text/html"}}, "<title>Attente</title>", true});
        return server.Listen();
    }();
    EXPECT_TRUE(listening);
    return server;
}
std::string Url(const std::string& path) {
    return Server().Url(path);
}
long Asked(const std::string& path) {
    return std::ranges::count(Server().Paths(), path);
}

const std::string kCaption = " - Navigateur Ulmeco"; // after the page's title

class Program : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(x.WindowManager(), "Openbox"); }

    // Starts the program; its window with the caption, or 0.
    xcb_window_t Start(const std::string& commandLine, const std::string& caption) {
        program = run.Start(commandLine);
        xcb_window_t found = 0;
        const std::vector<std::uint32_t> pid{std::uint32_t(program)};
        WaitFor([&] {
            for (const xcb_window_t w : x.Forms())
                found = x.Cardinals(w, "_NET_WM_PID") == pid && x.Caption(w) == caption ? w : found;
            return found != 0;
        });
        return found;
    }
    // Closes the window with the close button's access key; true when the program ended well.
    bool Close(xcb_window_t window) {
        return XDisplay::Xdotool("windowactivate", window, "alt+f") && run.Finished(program) == 0;
    }

    XDisplay x;
    ProgramRun run;
    pid_t program = 0; // the last one started
};

// The command line reaches the window: the home page lower-cased and trimmed, the mail address
// on Messagerie. Closed minimized last time with no bounds, the window opens normal; only closing
// writes the settings, its outer bounds in twips; the next start shows them and writes them back.
TEST_F(Program, CommandLineAndBoundsKept) {
    const std::string first = "[Main]\nWindowState=1\n";
    ASSERT_TRUE(WriteBytes(run.Folder() / "Orvane.ini", first));
    const std::string home = "  HTTP://127.0.0.1:" + std::to_string(Server().Port()) +
                             "/ECHO/HOME  ," + Url("/echo/mail");
    std::string saved;
    for (int start = 0; start < 2; ++start) {
        const xcb_window_t w = Start(home, "/echo/home" + kCaption);
        ASSERT_NE(w, 0u);
        EXPECT_FALSE(x.Maximized(w) || x.HasState(w, "_NET_WM_STATE_HIDDEN"));
        ASSERT_TRUE(XDisplay::Xdotool("windowactivate", w, "alt+m"));
        EXPECT_TRUE(WaitFor([&] { return x.Caption(w) == "/echo/mail" + kCaption; }));
        EXPECT_EQ(run.Settings(), saved.empty() ? first : saved) << "written while it runs";
        const auto f = x.Cardinals(w, "_NET_FRAME_EXTENTS"); // left, right, top, bottom
        ASSERT_EQ(f.size(), 4u);
        const XBounds r = x.Bounds(w);
        ASSERT_TRUE(Close(w));
        const std::string twips =
            "[Main]\nWindowState=0\nLeft=" + std::to_string(15 * (r.x - int(f[0]))) +
            "\nTop=" + std::to_string(15 * (r.y - int(f[2]))) +
            "\nHeight=" + std::to_string(15 * (r.height + int(f[2] + f[3]))) +
            "\nWidth=" + std::to_string(15 * (r.width + int(f[0] + f[1]))) + "\n";
        EXPECT_EQ(run.Settings(), saved.empty() ? twips : saved);
        saved = run.Settings();
    }
}

// A later start brings the first window forward from another one, restored when minimized,
// loads nothing, writes no settings and ends.
TEST_F(Program, SecondStartBringsTheFirstForward) {
    const xcb_window_t window = Start(Url("/echo/first"), "/echo/first" + kCaption);
    ASSERT_NE(window, 0u);
    const pid_t first = program;
    const xcb_window_t other = x.Window(x.root);
    xcb_map_window(x.c, other);
    xcb_flush(x.c);
    ASSERT_TRUE(WaitFor([&] { return XDisplay::Xdotool("windowactivate", other); }));
    for (const std::string path : {"/echo/normal", "/echo/minimized"}) {
        const bool minimized = path == "/echo/minimized";
        ASSERT_TRUE(!minimized || XDisplay::Xdotool("windowminimize", window));
        ASSERT_TRUE(
            WaitFor([&] { return x.HasState(window, "_NET_WM_STATE_HIDDEN") == minimized; }));
        EXPECT_EQ(run.Finished(run.Start(Url(path))), 0);
        EXPECT_EQ(x.Forms(), std::vector<xcb_window_t>{window});
        EXPECT_TRUE(WaitFor([&] { return x.ActiveWindow() == window; })) << path;
        EXPECT_TRUE(x.Maximized(window) && !x.HasState(window, "_NET_WM_STATE_HIDDEN")) << path;
        EXPECT_EQ(Asked(path), 0) << path;
        EXPECT_TRUE(run.Running(first));
    }
    EXPECT_EQ(run.Settings(), "");
}

// The viewable windows of the main window's class below w, frames and clients alike: what a user
// sees as Orvane's windows where the window manager publishes no client list.
int MainWindowsShown(XDisplay& x, xcb_window_t w) {
    int count = 0;
    const auto tree = x.Ask(xcb_query_tree_reply, xcb_query_tree, w);
    for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t child = xcb_query_tree_children(tree.get())[i];
        const auto seen = x.Ask(xcb_get_window_attributes_reply, xcb_get_window_attributes, child);
        if (seen && seen->map_state == XCB_MAP_STATE_VIEWABLE)
            count += (x.Class(child) == "ThunderRT6FormDC") + MainWindowsShown(x, child);
    }
    return count;
}

// Also under weston's X window manager (CTest runs it alone there), which frames its clients and
// publishes no client list: a second start ends well and opens no second window.
TEST(SecondStart, EndsAtOnceAndOpensNoSecondWindow) {
    const std::string home = Url("/echo/weston");
    ProgramRun run;
    XDisplay x;
    run.Start(home);
    ASSERT_TRUE(WaitFor([&] { return MainWindowsShown(x, x.root) == 1; }))
        << "the first start's window was never shown";
    EXPECT_EQ(run.Finished(run.Start(home)), 0);
    EXPECT_EQ(MainWindowsShown(x, x.root), 1);
}

// The web processes' sandbox, seen in the process tree: an ordinary account's page runs in
// bubblewrap, in namespaces of its own; root's runs without it, and the program says so in one
// French line.
// The processes below root whose names, as the kernel keeps them (cut to 15 characters), begin
// with prefix; from /proc ("pid (name) state ppid ...", the name may hold ")").
std::vector<pid_t> Descendants(pid_t root, const std::string& prefix) {
    std::map<pid_t, std::vector<std::pair<pid_t, std::string>>> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        if (!std::isdigit(entry.path().filename().c_str()[0]))
            continue;
        const std::string stat = ReadBytes(entry.path() / "stat");
        const std::size_t open = stat.find('('), close = stat.rfind(')');
        pid_t parent = 0;
        if (close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1, " %*c %d", &parent) == 1)
            children[parent].push_back(
                {std::atoi(stat.c_str()), stat.substr(open + 1, close - open - 1)});
    }
    std::vector<pid_t> found;
    for (std::vector<pid_t> todo{root}; !todo.empty();) {
        const pid_t next = todo.back();
        todo.pop_back();
        for (const auto& [child, name] : children[next]) {
            todo.push_back(child);
            if (name.starts_with(prefix))
                found.push_back(child);
        }
    }
    return found;
}

std::string Namespace(pid_t pid, const char* kind) {
    std::error_code failed;
    return fs::read_symlink("/proc/" + std::to_string(pid) + "/ns/" + kind, failed).string();
}

struct SandboxRow {
    const char* name;
    bool root; // the program runs as root; otherwise as an ordinary account
};

class Sandbox : public testing::TestWithParam<SandboxRow> {};

TEST_P(Sandbox, WebProcessConfinement) {
    const bool root = ::geteuid() == 0;
    if (GetParam().root && !root)
        GTEST_SKIP() << "the test does not run as root, and only root can start the program so";
    const std::string page = GetParam().root ? "/echo/root" : "/echo/ordinary";
    // As root, the ordinary account is another one that setpriv switches to.
    ProgramRun run({GetParam().root || !root ? -1 : 65534, true});
    const pid_t program = run.Start(Url(page));
    ASSERT_TRUE(WaitFor(
        [&] { return Asked(page) > 0 && !Descendants(program, "WebKitWebProces").empty(); }));
    EXPECT_TRUE(run.Running(program));
    const std::string off = "le bac à sable du moteur web est désactivé", said = run.Output();
    if (GetParam().root) {
        const std::string line = "Orvane : " + off + " (lancé en tant que root).\n";
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(said.find(line), said.rfind(line)) << said;
        EXPECT_TRUE(Descendants(program, "bwrap").empty());
        return;
    }
    EXPECT_EQ(said.find(off), std::string::npos) << said;
    EXPECT_FALSE(Descendants(program, "bwrap").empty()) << "no bubblewrap between program and page";
    for (const pid_t web : Descendants(program, "WebKitWebProces"))
        EXPECT_TRUE(Namespace(web, "user") != Namespace(program, "user") ||
                    Namespace(web, "mnt") != Namespace(program, "mnt"))
            << "the web process " << web << " shares the program's namespaces";
}

INSTANTIATE_TEST_SUITE_P(
    E2E, Sandbox,
    testing::Values(SandboxRow{"ordinary_account_page_outside_the_sandbox", false},
                    SandboxRow{"root_start_without_the_line_or_not_running", true}),
    RowName<SandboxRow>);

// The lines "role<TAB>name<TAB>showing" of the program's windows, or of the button pressed
// through its accessible action; empty until the helper reaches the program over its bus.
std::string Tree(const ProgramRun& run, pid_t program, const std::string& press) {
    Process helper({"/usr/bin/env", "DBUS_SESSION_BUS_ADDRESS=" + run.Bus(), "/usr/bin/python3",
                    std::string(std::getenv("ORVANE_SOURCE_DIR")) + "/tests/support/atspi-tree",
                    std::to_string(program), press});
    const std::string out = helper.ReadAll();
    return helper.Wait() == 0 ? out : std::string();
}

std::vector<std::string> Toolbar() {
    std::vector<std::string> buttons{"push button\tLiens"};
    for (const browser::ButtonDesign& design : browser::kButtons)
        buttons.push_back("push button\t" + browser::PlainCaption(design.Caption));
    buttons.push_back("status bar\tTerminé");
    return buttons;
}

std::vector<std::string> AboutBox() {
    using namespace ProgramInfo;
    std::vector<std::string> shown{"frame\t\u00c0 propos de " + Title(), "push button\tOK"};
    for (const std::string& label : std::initializer_list<std::string>{
             Title(), VersionLine(Major, Minor, Revision), Description(), kLegalNotice,
             "Web :", "Email :", kMakerWeb, kMakerEmail})
        shown.push_back("label\t" + label);
    return shown;
}

struct TreeRow {
    const char* name;
    const char* home;  // the page the program starts on
    const char* press; // the button pressed first, through its accessible action
    std::vector<std::string> (*expected)(); // "role<TAB>name" shown on the screen
};

class AccessibleNames : public testing::TestWithParam<TreeRow> {};

TEST_P(AccessibleNames, ReachAssistiveTechnologies) {
    ProgramRun run({.OwnBus = true});
    const pid_t program = run.Start(Url(GetParam().home));
    const std::string press = GetParam().press;
    ASSERT_TRUE(press.empty() || WaitFor([&] { return !Tree(run, program, press).empty(); }));
    std::vector<std::string> missing;
    std::string tree;
    WaitFor([&] {
        tree = "\n" + Tree(run, program, ""), missing.clear();
        for (const std::string& accessible : GetParam().expected())
            if (tree.find("\n" + accessible + "\t1\n") == std::string::npos)
                missing.push_back(accessible);
        return missing.empty();
    });
    EXPECT_EQ(missing, std::vector<std::string>{})
        << "not on the screen for assistive technologies, in:\n"
        << tree;
}

INSTANTIATE_TEST_SUITE_P(
    E2E, AccessibleNames,
    testing::Values( // buttons by their captions, not icons' names; the status bar by its text
        TreeRow{"buttons_or_status_text_unnamed", "/echo/page", "", Toolbar},
        TreeRow{"progress_bar_unnamed_while_loading", "/held", "",
                [] { return std::vector<std::string>{"progress bar\tProgression du chargement"}; }},
        TreeRow{"about_box_labels_unnamed", "/echo/page", "Infos", AboutBox}),
    RowName<TreeRow>);

} // namespace
