// What the real program's windows tell an assistive technology over AT-SPI, read as a screen
// reader reads it (tests/support/atspi-tree): each control's role and French name.
#include "about/ProgramInfo.h"
#include "browser/ButtonTable.h"
#include "browser/ButtonTexts.h"
#include "support/HttpServer.h"
#include "support/Process.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

namespace {

// The lines "role<TAB>name<TAB>showing" of the program's windows, or of the button pressed
// through its accessible action; empty until the helper reaches the program over its bus.
std::string Tree(const testsupport::ProgramRun& run, pid_t program, const std::string& press) {
    std::vector<std::string> argv{
        "/usr/bin/env", "DBUS_SESSION_BUS_ADDRESS=" + run.Bus(), "/usr/bin/python3",
        std::string(std::getenv("ORVANE_SOURCE_DIR")) + "/tests/support/atspi-tree",
        std::to_string(program)};
    if (!press.empty())
        argv.insert(argv.end(), {"press", press});
    testsupport::Process helper(argv);
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
    return {"frame\t\u00c0 propos de " + Title(),
            "push button\tOK",
            "label\t" + Title(),
            "label\t" + VersionLine(Major, Minor, Revision),
            "label\t" + Description(),
            "label\t" + std::string(kLegalNotice),
            "label\tWeb :",
            "label\tEmail :",
            "label\t" + std::string(kMakerWeb),
            "label\t" + std::string(kMakerEmail)};
}

struct TreeRow {
    const char* name;
    const char* home;  // the page the program starts on
    const char* press; // the button pressed first, through its accessible action
    std::vector<std::string> (*expected)(); // "role<TAB>name" shown on the screen
};

class AccessibleNames : public testing::TestWithParam<TreeRow> {};

TEST_P(AccessibleNames, ReachAssistiveTechnologies) {
    testsupport::HttpServer server; // /page, and /held: a page that never ends loading
    server.Route("/page", testsupport::HttpServer::Html("Page", "<p>bonjour</p>"));
    server.Hold("/held", {200, {{"Content-Type", "text/html"}}, "<title>Attente</title>"});
    ASSERT_TRUE(server.Listen());
    testsupport::ProgramRun run({-1, true, true});
    ASSERT_FALSE(run.Bus().empty());
    const pid_t program = run.Start(server.Url(GetParam().home));
    const std::string press = GetParam().press;
    ASSERT_TRUE(press.empty() ||
                testsupport::WaitFor([&] { return !Tree(run, program, press).empty(); }))
        << run.Output();
    std::vector<std::string> missing;
    std::string tree;
    testsupport::WaitFor([&] {
        tree = "\n" + Tree(run, program, ""), missing.clear();
        for (const std::string& accessible : GetParam().expected())
            if (tree.find("\n" + accessible + "\t1\n") == std::string::npos)
                missing.push_back(accessible);
        return missing.empty();
    });
    EXPECT_EQ(missing, std::vector<std::string>{}) << "not on the screen for assistive "
                                                      "technologies, in:\n"
                                                   << tree << run.Output();
}

INSTANTIATE_TEST_SUITE_P(
    E2E, AccessibleNames,
    testing::Values( // buttons by their captions, not icons' names; the status bar by its text
        TreeRow{"buttons_or_status_text_unnamed", "/page", "", Toolbar},
        TreeRow{"progress_bar_unnamed_while_loading", "/held", "",
                [] { return std::vector<std::string>{"progress bar\tProgression du chargement"}; }},
        TreeRow{"about_box_labels_unnamed", "/page", "Infos", AboutBox}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
