// What the real program's windows tell an assistive technology over AT-SPI, read as a screen
// reader reads it (tests/support/atspi-tree): each control's role and French name.
#include "about/ProgramInfo.h"
#include "browser/ButtonTable.h"
#include "browser/ButtonTexts.h"
#include "support/HttpServer.h"
#include "support/Process.h"
#include "support/ProgramRun.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::WaitFor;

struct Accessible {
    std::string Role, Name;
    bool operator==(const Accessible&) const = default;
};

// The accessible tree of the program's windows, as "role<TAB>name<TAB>showing" lines.
// The helper reaches the accessibility bus through the program's session bus.
std::string Tree(const testsupport::ProgramRun& run, pid_t program,
                 const std::vector<std::string>& more = {}) {
    std::vector<std::string> argv{
        "/usr/bin/env", "DBUS_SESSION_BUS_ADDRESS=" + run.Bus(), "/usr/bin/python3",
        std::string(std::getenv("ORVANE_SOURCE_DIR")) + "/tests/support/atspi-tree",
        std::to_string(program)};
    argv.insert(argv.end(), more.begin(), more.end());
    testsupport::Process helper(argv);
    const std::string out = helper.ReadAll();
    const int status = helper.Wait();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : std::string();
}

// The accessibles of the tree that are on the screen.
std::vector<Accessible> Showing(const std::string& tree) {
    std::vector<Accessible> shown;
    std::istringstream lines(tree);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t a = line.find('\t'), b = line.rfind('\t');
        if (a != b && line.substr(b + 1) == "1")
            shown.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1)});
    }
    return shown;
}

std::vector<Accessible> Toolbar() {
    std::vector<Accessible> buttons{{"push button", "Liens"}};
    for (const browser::ButtonDesign& design : browser::kButtons)
        buttons.push_back({"push button", browser::PlainCaption(design.Caption)});
    return buttons;
}

std::vector<Accessible> AboutBox() {
    using namespace ProgramInfo;
    return {{"frame", "\u00c0 propos de " + Title()},
            {"push button", "OK"},
            {"label", Title()},
            {"label", VersionLine(Major, Minor, Revision)},
            {"label", Description()},
            {"label", kLegalNotice},
            {"label", "Web :"},
            {"label", "Email :"},
            {"label", kMakerWeb},
            {"label", kMakerEmail}};
}

struct TreeRow {
    const char* name;
    const char* home;  // the page the program starts on
    const char* press; // the button pressed first, through its accessible action
    std::vector<Accessible> (*expected)();
};

class AccessibleNames : public testing::TestWithParam<TreeRow> {
protected:
    // /page, and /held: a page whose end waits until the test lets it go.
    static void SetUpTestSuite() {
        using testsupport::HttpServer;
        server = std::make_unique<HttpServer>();
        server->Route("/page", HttpServer::Html("Page", "<p>bonjour</p>"));
        server->Stream("/held", {200, {{"Content-Type", "text/html"}}, {}},
                       [](const testsupport::HttpRequest&, const HttpServer::Writer& write) {
                           write("<html><head><title>Attente</title></head><body>");
                           while (!released && write(" "))
                               std::this_thread::sleep_for(std::chrono::milliseconds(50));
                           write("</body></html>");
                       });
        ASSERT_TRUE(server->Listen());
    }
    static void TearDownTestSuite() {
        released = true;
        server.reset();
    }
    static inline std::unique_ptr<testsupport::HttpServer> server;
    static inline std::atomic<bool> released{false};
};

TEST_P(AccessibleNames, ReachAssistiveTechnologies) {
    released = false;
    testsupport::ProgramRun run;
    ASSERT_TRUE(run.StartSessionBus());
    const pid_t program = run.Start(server->Url(GetParam().home));
    if (*GetParam().press != '\0') {
        ASSERT_TRUE(WaitFor([&] {
            return !Tree(run, program, {"press", GetParam().press}).empty();
        })) << run.ErrorOutput();
    }
    const std::vector<Accessible> expected = GetParam().expected();
    std::string tree;
    const bool all = WaitFor([&] {
        tree = Tree(run, program);
        const std::vector<Accessible> shown = Showing(tree);
        return std::all_of(expected.begin(), expected.end(), [&](const Accessible& a) {
            return std::find(shown.begin(), shown.end(), a) != shown.end();
        });
    });
    for (const Accessible& a : expected) {
        const auto shown = Showing(tree);
        EXPECT_NE(std::find(shown.begin(), shown.end(), a), shown.end())
            << a.Role << " \"" << a.Name << "\" is not on the screen for assistive technologies";
    }
    EXPECT_TRUE(all) << tree << run.ErrorOutput();
    released = true;
}

INSTANTIATE_TEST_SUITE_P(
    E2E, AccessibleNames,
    testing::Values(
        // The buttons say their captions, not nothing nor an icon's name; the status bar says
        // its text, not a fixed name.
        TreeRow{"buttons_or_status_text_unnamed", "/page", "",
                [] {
                    auto all = Toolbar();
                    all.push_back({"status bar", "Terminé"});
                    return all;
                }},
        TreeRow{"progress_bar_unnamed_while_loading", "/held", "",
                [] {
                    return std::vector<Accessible>{{"progress bar", "Progression du chargement"}};
                }},
        TreeRow{"about_box_labels_unnamed", "/page", "Infos", AboutBox}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
