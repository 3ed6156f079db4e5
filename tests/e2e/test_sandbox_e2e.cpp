// The web processes' sandbox of the real program, seen in its process tree: an ordinary
// account's page runs in bubblewrap, in namespaces of its own; root's runs without it, and the
// program says so in one French line.
#include "support/HttpServer.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <map>

namespace {

namespace fs = std::filesystem;
using Task = std::pair<pid_t, std::string>; // the name as the kernel keeps it, cut to 15 characters

// The processes below root, from /proc ("pid (name) state ppid ...", the name may hold ")").
std::vector<Task> Descendants(pid_t root) {
    std::map<pid_t, std::vector<Task>> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        if (!std::isdigit(entry.path().filename().c_str()[0]))
            continue;
        const std::string stat = testsupport::ReadBytes(entry.path() / "stat");
        const std::size_t open = stat.find('('), close = stat.rfind(')');
        pid_t parent = 0;
        if (close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1, " %*c %d", &parent) == 1)
            children[parent].push_back(
                {std::atoi(stat.c_str()), stat.substr(open + 1, close - open - 1)});
    }
    std::vector<Task> found;
    for (std::vector<pid_t> todo{root}; !todo.empty();) {
        const pid_t next = todo.back();
        todo.pop_back();
        for (const Task& child : children[next])
            found.push_back(child), todo.push_back(child.first);
    }
    return found;
}

std::vector<pid_t> Named(const std::vector<Task>& tasks, const std::string& prefix) {
    std::vector<pid_t> named;
    for (const auto& [pid, name] : tasks)
        if (name.starts_with(prefix))
            named.push_back(pid);
    return named;
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
    testsupport::HttpServer server;
    server.Route("/page", testsupport::HttpServer::Html("Page", "<p>bonjour</p>"));
    ASSERT_TRUE(server.Listen());
    // As root, the ordinary account is another one that setpriv switches to.
    testsupport::ProgramRun run({GetParam().root || !root ? -1 : 65534, true, true});
    ASSERT_FALSE(run.Bus().empty());
    const pid_t program = run.Start(server.Url("/page"));
    ASSERT_TRUE(testsupport::WaitFor([&] {
        return !server.Paths().empty() && !Named(Descendants(program), "WebKitWebProces").empty();
    })) << run.Output();
    EXPECT_TRUE(run.Running(program)) << run.Output();
    const std::vector<Task> tree = Descendants(program);
    const std::string off = "le bac à sable du moteur web est désactivé", said = run.Output();
    if (GetParam().root) {
        const std::string line = "Orvane : " + off + " (lancé en tant que root).\n";
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(said.find(line), said.rfind(line)) << said;
        EXPECT_TRUE(Named(tree, "bwrap").empty());
        return;
    }
    EXPECT_EQ(said.find(off), std::string::npos) << said;
    EXPECT_FALSE(Named(tree, "bwrap").empty()) << "no bubblewrap between program and page";
    for (const pid_t web : Named(tree, "WebKitWebProces"))
        EXPECT_TRUE(Namespace(web, "user") != Namespace(program, "user") ||
                    Namespace(web, "mnt") != Namespace(program, "mnt"))
            << "the web process " << web << " shares the program's namespaces";
}

INSTANTIATE_TEST_SUITE_P(
    E2E, Sandbox,
    testing::Values(SandboxRow{"ordinary_account_page_outside_the_sandbox", false},
                    SandboxRow{"root_start_without_the_line_or_not_running", true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
