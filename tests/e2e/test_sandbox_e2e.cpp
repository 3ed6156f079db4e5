// The web processes' sandbox of the real program, seen from outside in its process tree: an
// ordinary account's page runs in bubblewrap, in namespaces of its own; root's runs without it,
// and the program says so in one French line.
#include "support/HttpServer.h"
#include "support/ProgramRun.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::WaitFor;

const std::string kSandboxOff = "le bac à sable du moteur web est désactivé";
const std::string kRootLine = "Orvane : " + kSandboxOff + " (lancé en tant que root).\n";
constexpr int kOrdinaryAccount = 65534;

struct Task {
    pid_t Pid;
    std::string Name; // as the kernel keeps it, cut to 15 characters
};

// The processes below root, from /proc.
std::vector<Task> Descendants(pid_t root) {
    std::map<pid_t, std::vector<Task>> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (name) state ppid ...; the name may hold spaces and parentheses.
        const std::size_t open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        char state = 0;
        pid_t parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) != 2)
            continue;
        children[parent].push_back(
            {std::stoi(line.substr(0, open)), line.substr(open + 1, close - open - 1)});
    }
    std::vector<Task> found, todo{{root, {}}};
    while (!todo.empty()) {
        const pid_t next = todo.back().Pid;
        todo.pop_back();
        for (const Task& child : children[next]) {
            found.push_back(child);
            todo.push_back(child);
        }
    }
    return found;
}

std::vector<Task> Named(const std::vector<Task>& tasks, const std::string& prefix) {
    std::vector<Task> named;
    std::copy_if(tasks.begin(), tasks.end(), std::back_inserter(named),
                 [&](const Task& t) { return t.Name.starts_with(prefix); });
    return named;
}

std::string Namespace(pid_t pid, const char* kind) {
    std::error_code failed;
    return fs::read_symlink("/proc/" + std::to_string(pid) + "/ns/" + kind, failed).string();
}

bool Running(pid_t pid) {
    return ::waitpid(pid, nullptr, WNOHANG) == 0;
}

struct SandboxRow {
    const char* name;
    bool root; // the program runs as root; otherwise as an ordinary account
};

class Sandbox : public testing::TestWithParam<SandboxRow> {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<testsupport::HttpServer>();
        server->Route("/page", testsupport::HttpServer::Html("Page", "<p>bonjour</p>"));
        ASSERT_TRUE(server->Listen());
    }
    static void TearDownTestSuite() { server.reset(); }
    static bool Asked(const std::string& path) {
        const auto paths = server->Paths();
        return std::find(paths.begin(), paths.end(), path) != paths.end();
    }
    static inline std::unique_ptr<testsupport::HttpServer> server;
};

TEST_P(Sandbox, WebProcessConfinement) {
    const bool root = ::geteuid() == 0;
    if (GetParam().root && !root)
        GTEST_SKIP() << "the test does not run as root, and only root can start the program so";
    // As root, the ordinary account is another one that setpriv switches to.
    const testsupport::Account account{GetParam().root || !root ? -1 : kOrdinaryAccount};
    testsupport::ProgramRun run(account);
    ASSERT_TRUE(run.StartSessionBus());
    const pid_t program = run.Start(server->Url("/page"));
    ASSERT_TRUE(WaitFor([&] {
        return Asked("/page") && !Named(Descendants(program), "WebKitWebProces").empty();
    })) << run.ErrorOutput();
    EXPECT_TRUE(Running(program)) << run.ErrorOutput();
    const std::vector<Task> tree = Descendants(program);
    const std::vector<Task> web = Named(tree, "WebKitWebProces");
    if (GetParam().root) {
        EXPECT_EQ(run.ErrorOutput().find(kRootLine), run.ErrorOutput().rfind(kRootLine));
        EXPECT_NE(run.ErrorOutput().find(kRootLine), std::string::npos) << run.ErrorOutput();
        EXPECT_TRUE(Named(tree, "bwrap").empty());
        return;
    }
    EXPECT_EQ(run.ErrorOutput().find(kSandboxOff), std::string::npos) << run.ErrorOutput();
    EXPECT_FALSE(Named(tree, "bwrap").empty()) << "no bubblewrap between program and page";
    for (const Task& process : web) {
        EXPECT_TRUE(Namespace(process.Pid, "user") != Namespace(program, "user") ||
                    Namespace(process.Pid, "mnt") != Namespace(program, "mnt"))
            << "the web process " << process.Pid << " shares the program's namespaces";
    }
}

INSTANTIATE_TEST_SUITE_P(
    E2E, Sandbox,
    testing::Values(SandboxRow{"ordinary_account_page_outside_the_sandbox", false},
                    SandboxRow{"root_start_without_the_line_or_not_running", true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
