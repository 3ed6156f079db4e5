// The real program as the host application starts it, under openbox, seen and driven from
// outside as another X11 client and a person at the keyboard, on whichever window library the
// environment names (ORVANE_BINARY, ORVANE_GUI_LIBRARY).
#include "support/Files.h"
#include "support/HttpServer.h"
#include "support/Wait.h"
#include "support/XDisplay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::WaitFor;
using testsupport::XDisplay;

const std::string kProduct = "Navigateur Ulmeco";
std::string CaptionFor(const std::string& title) {
    return title + " - " + kProduct;
}

// A copy of the program and its window library in a fresh folder, also its home: settings and
// instance lock go by the executable's path. Each process group started ends with the copy.
class ProgramCopy {
public:
    ProgramCopy()
        : folder_(fs::temp_directory_path() /
                  ("orvane-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(++made_))) {
        fs::create_directories(folder_);
        for (const char* variable : {"ORVANE_BINARY", "ORVANE_GUI_LIBRARY"}) {
            const fs::path file = std::getenv(variable);
            fs::copy_file(file, folder_ / file.filename(), fs::copy_options::overwrite_existing);
        }
    }
    ~ProgramCopy() {
        for (const pid_t group : started_) {
            ::kill(-group, SIGKILL);
            ::waitpid(group, nullptr, 0);
        }
        fs::remove_all(folder_);
    }
    // Starts the program with the one argument; its output joins the test's error output.
    pid_t Start(const std::string& commandLine) {
        const std::string program = (folder_ / "orvane").string(), home = folder_.string();
        const pid_t child = ::fork();
        if (child == 0) {
            ::setpgid(0, 0);
            ::setenv("HOME", home.c_str(), 1);
            for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
                ::unsetenv(variable);
            ::dup2(STDERR_FILENO, STDOUT_FILENO);
            ::execl(program.c_str(), program.c_str(), commandLine.c_str(), nullptr);
            ::_exit(127);
        }
        started_.push_back(child);
        return child;
    }
    // The exit code once the process has ended, -1 when it did not end normally in time.
    int Finished(pid_t child) {
        int status = -1;
        const bool ended = WaitFor([&] { return ::waitpid(child, &status, WNOHANG) == child; });
        if (ended)
            std::erase(started_, child);
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool Running(pid_t child) { return ::waitpid(child, nullptr, WNOHANG) == 0; }
    std::string Settings() const { return testsupport::ReadBytes(folder_ / "Orvane.ini"); }
    const fs::path& Folder() const { return folder_; }

private:
    static inline int made_ = 0;
    fs::path folder_;
    std::vector<pid_t> started_;
};

class Program : public testing::Test {
protected:
    // /title; /longtitle (a title of 20 million "x"); /slow?ms=N (answers after N ms, title
    // "Lente"); /echo/... (the path as title).
    static void SetUpTestSuite() {
        using testsupport::HttpServer;
        server = std::make_unique<HttpServer>();
        server->Route("/title", HttpServer::Html("Page avec titre", "<p>bonjour</p>"));
        server->Route("/longtitle",
                      HttpServer::Html("", "<script>document.title = 'x'.repeat(2e7)</script>"));
        server->Route("/slow", [](const testsupport::HttpRequest& request) {
            const std::size_t ms = request.Query.find("ms=");
            const int wait =
                ms == std::string::npos ? 2000 : std::atoi(request.Query.c_str() + ms + 3);
            std::this_thread::sleep_for(std::chrono::milliseconds(wait)); // the server is slow
            return HttpServer::Html("Lente", "<p>lente</p>");
        });
        server->Route("/echo/*", [](const testsupport::HttpRequest& request) {
            return HttpServer::Html(request.Path, "<p>" + request.Path + "</p>");
        });
        ASSERT_TRUE(server->Listen());
    }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override { ASSERT_TRUE(x.WindowManager()) << "the suite runs under openbox"; }

    std::string Url(const std::string& path) const { return server->Url(path); }
    // Starts the program from the copy; its window with the caption, or 0.
    xcb_window_t Start(const std::string& commandLine, const std::string& caption) {
        program = copy.Start(commandLine);
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
        return XDisplay::Xdotool("windowactivate", window, "alt+f") && copy.Finished(program) == 0;
    }
    bool Eventually(const std::function<bool()>& condition) { return WaitFor(condition); }

    static inline std::unique_ptr<testsupport::HttpServer> server;
    XDisplay x;
    ProgramCopy copy;
    pid_t program = 0; // the last one started
};

// The first start opens maximized; the home page arrives lower-cased and trimmed; closing
// saves the state only.
TEST_F(Program, FirstStartOpensMaximizedAndSavesTheState) {
    const std::size_t before = server->Paths().size();
    const std::string home =
        "  HTTP://127.0.0.1:" + std::to_string(server->Port()) + "/SLOW?MS=4000  ";
    const xcb_window_t window = Start(home, CaptionFor("Lente"));
    ASSERT_NE(window, 0u);
    const auto paths = server->Paths();
    ASSERT_GT(paths.size(), before);
    EXPECT_EQ(paths[before], "/slow?ms=4000"); // the engine may ask for the icon afterwards
    EXPECT_TRUE(Eventually([&] { return x.Maximized(window); }));
    EXPECT_EQ(copy.Settings(), "") << "nothing is written while the window runs";
    ASSERT_TRUE(Close(window));
    EXPECT_EQ(copy.Settings(), "[Main]\nWindowState=2\n");
}

// Closed minimized last time with no bounds, the window opens normal and saves its outer
// bounds in the program's order; the next start shows them and writes them back unchanged.
TEST_F(Program, BoundsSavedAndRestored) {
    ASSERT_TRUE(testsupport::WriteBytes(copy.Folder() / "Orvane.ini", "[Main]\nWindowState=1\n"));
    std::string saved;
    for (int start = 0; start < 2; ++start) {
        const xcb_window_t w = Start(Url("/title"), CaptionFor("Page avec titre"));
        ASSERT_NE(w, 0u);
        EXPECT_FALSE(x.Maximized(w) || x.HasState(w, "_NET_WM_STATE_HIDDEN"));
        const auto f = x.Cardinals(w, "_NET_FRAME_EXTENTS"); // left, right, top, bottom
        ASSERT_EQ(f.size(), 4u);
        const testsupport::XBounds r = x.Bounds(w);
        ASSERT_TRUE(Close(w));
        const std::string twips =
            "[Main]\nWindowState=0\nLeft=" + std::to_string(15 * (r.x - int(f[0]))) +
            "\nTop=" + std::to_string(15 * (r.y - int(f[2]))) +
            "\nHeight=" + std::to_string(15 * (r.height + int(f[2] + f[3]))) +
            "\nWidth=" + std::to_string(15 * (r.width + int(f[0] + f[1]))) + "\n";
        EXPECT_EQ(copy.Settings(), saved.empty() ? twips : saved);
        saved = copy.Settings();
    }
}

// A later start brings the first window forward, restored when minimized, and ends at once;
// once the first has been killed, a start opens a window of its own.
struct SecondStartRow {
    const char* name;
    std::string page, caption;
};

class SecondStart : public Program, public testing::WithParamInterface<SecondStartRow> {};

TEST_P(SecondStart, BringsTheFirstForward) {
    const xcb_window_t window = Start(Url(GetParam().page), GetParam().caption);
    ASSERT_NE(window, 0u);
    const pid_t first = program;
    // Another window has the input when the host starts the program again.
    const xcb_window_t other = xcb_generate_id(x.c);
    xcb_create_window(x.c, 0, other, x.root, 0, 0, 300, 200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, 0, 0,
                      nullptr);
    xcb_map_window(x.c, other);
    xcb_flush(x.c);
    ASSERT_TRUE(Eventually([&] { return XDisplay::Xdotool("windowactivate", other); }));
    for (const std::string path : {"/echo/normal", "/echo/minimized"}) {
        const bool minimized = path == "/echo/minimized";
        if (minimized) {
            ASSERT_TRUE(XDisplay::Xdotool("windowminimize", window));
        }
        ASSERT_TRUE(
            Eventually([&] { return x.HasState(window, "_NET_WM_STATE_HIDDEN") == minimized; }));
        const pid_t again = copy.Start(Url(path));
        EXPECT_EQ(copy.Finished(again), 0);
        EXPECT_EQ(x.Forms(), std::vector<xcb_window_t>{window});
        EXPECT_TRUE(Eventually([&] { return x.ActiveWindow() == window; })) << path;
        EXPECT_TRUE(x.Maximized(window) && !x.HasState(window, "_NET_WM_STATE_HIDDEN")) << path;
        const auto paths = server->Paths();
        EXPECT_EQ(std::count(paths.begin(), paths.end(), path), 0) << path;
        EXPECT_TRUE(copy.Running(first));
    }
    ::kill(first, SIGKILL); // as a crash would end it
    ASSERT_TRUE(Eventually([&] { return x.Forms().empty(); }));
    EXPECT_NE(Start(Url("/echo/after"), CaptionFor("/echo/after")), 0u);
    EXPECT_EQ(copy.Settings(), "") << "no start wrote settings";
    xcb_destroy_window(x.c, other);
    xcb_flush(x.c);
}

INSTANTIATE_TEST_SUITE_P(
    E2E, SecondStart,
    testing::Values(SecondStartRow{"page_with_a_title", "/title", CaptionFor("Page avec titre")},
                    // The caption keeps its ending within the 254 characters a second start reads.
                    SecondStartRow{"title_of_20_million_characters", "/longtitle",
                                   CaptionFor(std::string(234, 'x'))}),
    [](const auto& row) { return std::string(row.param.name); });

// Messagerie, Précédent, Suivant, Actualiser, Démarrage from the keyboard; the last two reload.
TEST_F(Program, AccessKeysNavigate) {
    const std::string home = "/echo/home", mail = "/echo/mail";
    const xcb_window_t window = Start(Url(home) + ',' + Url(mail), CaptionFor(home));
    ASSERT_NE(window, 0u);
    const std::string paths[] = {mail, home, mail, mail, home};
    for (int step = 0; step < 5; ++step) {
        const std::string keys = std::string("alt+") + "mpsad"[step], path = paths[step];
        const bool asks = step != 1 && step != 2;
        const auto count = [&] {
            const auto seen = server->Paths();
            return std::count(seen.begin(), seen.end(), path);
        };
        const auto requests = count();
        ASSERT_TRUE(XDisplay::Xdotool("windowactivate", window, keys));
        EXPECT_TRUE(Eventually([&] { return x.Caption(window) == CaptionFor(path); })) << keys;
        EXPECT_TRUE(Eventually([&] { return !asks || count() > requests; })) << keys;
    }
}

// A server that reads requests and never answers: it counts the requests and the connections
// the client gave up.
class SilentServer {
public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof local;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&local), size);
        ::listen(fd_, 4);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size);
        port_ = ntohs(local.sin_port);
        thread_ = std::thread([this] {
            for (int client; (client = ::accept(fd_, nullptr, nullptr)) >= 0;) {
                std::thread([this, client] {
                    char buffer[4096];
                    bool counted = false;
                    for (ssize_t n; (n = ::read(client, buffer, sizeof buffer)) > 0;) {
                        if (!counted && std::string(buffer, std::size_t(n)).starts_with("GET ")) {
                            counted = true;
                            ++asked;
                        }
                    }
                    dropped += counted;
                    ::close(client);
                }).detach();
            }
        });
    }
    ~SilentServer() {
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    int Port() const { return port_; }
    std::atomic<int> asked{0}, dropped{0};

private:
    int fd_ = -1, port_ = 0;
    std::thread thread_;
};

// Arrêter gives up a home page that never comes; the window goes on working.
TEST_F(Program, AccessKeyStopsALoad) {
    SilentServer silent;
    const std::string home = "http://127.0.0.1:" + std::to_string(silent.Port()) + "/";
    const xcb_window_t window = Start(home + ',' + Url("/echo/mail"), kProduct);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually([&] { return silent.asked == 1; }));
    EXPECT_EQ(silent.dropped, 0);
    ASSERT_TRUE(XDisplay::Xdotool("windowactivate", window, "alt+t"));
    EXPECT_TRUE(Eventually([&] { return silent.dropped == 1; }));
    EXPECT_EQ(x.Caption(window), kProduct);
    ASSERT_TRUE(XDisplay::Xdotool("windowactivate", window, "alt+m"));
    EXPECT_TRUE(Eventually([&] { return x.Caption(window) == CaptionFor("/echo/mail"); }));
    EXPECT_EQ(silent.asked, 1);
}

} // namespace
