// The real program as the host application starts it, under openbox, seen and driven from
// outside as another X11 client and a person at the keyboard: what only the whole program shows.
#include "support/HttpServer.h"
#include "support/ProgramRun.h"
#include "support/XDisplay.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using testsupport::WaitFor;
using testsupport::XDisplay;

std::string CaptionFor(const std::string& title) {
    return title + " - Navigateur Ulmeco";
}

class Program : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<testsupport::HttpServer>();
        server->Route("/echo/*", [](const testsupport::HttpRequest& request) { // the path as title
            return testsupport::HttpServer::Html(request.Path, "<p>" + request.Path + "</p>");
        });
        ASSERT_TRUE(server->Listen());
    }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override { ASSERT_TRUE(x.WindowManager()) << "the suite runs under openbox"; }

    static std::string Url(const std::string& path) { return server->Url(path); }
    static long Asked(const std::string& path) {
        const auto paths = server->Paths();
        return std::count(paths.begin(), paths.end(), path);
    }
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

    static inline std::unique_ptr<testsupport::HttpServer> server;
    XDisplay x;
    testsupport::ProgramRun run;
    pid_t program = 0; // the last one started
};

// The command line reaches the window: the home page lower-cased and trimmed, the mail address
// on Messagerie. The first start opens maximized; only closing writes the settings.
TEST_F(Program, FirstStartOpensMaximizedAndSavesTheState) {
    const std::string home =
        "  HTTP://127.0.0.1:" + std::to_string(server->Port()) + "/ECHO/HOME  ";
    const xcb_window_t window = Start(home + "," + Url("/echo/mail"), CaptionFor("/echo/home"));
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(WaitFor([&] { return x.Maximized(window); }));
    ASSERT_TRUE(XDisplay::Xdotool("windowactivate", window, "alt+m"));
    EXPECT_TRUE(WaitFor([&] { return x.Caption(window) == CaptionFor("/echo/mail"); }));
    EXPECT_EQ(run.Settings(), "") << "nothing is written while the window runs";
    ASSERT_TRUE(Close(window));
    EXPECT_EQ(run.Settings(), "[Main]\nWindowState=2\n");
}

// Closed minimized last time with no bounds, the window opens normal and saves its outer
// bounds in twips; the next start shows them and writes them back unchanged.
TEST_F(Program, BoundsSavedAndRestored) {
    ASSERT_TRUE(testsupport::WriteBytes(run.Folder() / "Orvane.ini", "[Main]\nWindowState=1\n"));
    std::string saved;
    for (int start = 0; start < 2; ++start) {
        const xcb_window_t w = Start(Url("/echo/page"), CaptionFor("/echo/page"));
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
        EXPECT_EQ(run.Settings(), saved.empty() ? twips : saved);
        saved = run.Settings();
    }
}

// A later start brings the first window forward from another one, restored when minimized,
// loads nothing and ends; once the first has been killed, a start opens a window of its own.
TEST_F(Program, SecondStartBringsTheFirstForward) {
    const xcb_window_t window = Start(Url("/echo/first"), CaptionFor("/echo/first"));
    ASSERT_NE(window, 0u);
    const pid_t first = program;
    const xcb_window_t other = xcb_generate_id(x.c);
    xcb_create_window(x.c, 0, other, x.root, 0, 0, 300, 200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, 0, 0,
                      nullptr);
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
    ::kill(first, SIGKILL); // as a crash would end it
    ASSERT_TRUE(WaitFor([&] { return x.Forms().empty(); }));
    EXPECT_NE(Start(Url("/echo/after"), CaptionFor("/echo/after")), 0u);
    EXPECT_EQ(run.Settings(), "") << "no start wrote settings";
    xcb_destroy_window(x.c, other);
    xcb_flush(x.c);
}

} // namespace
