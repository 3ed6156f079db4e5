// Pages on a display whose OpenGL is only Mesa's software renderer, as on this Xvfb: the engine
// is told to compose in software, and what a page or the PDF viewer draws reaches the screen,
// read back from the X server.
#include "platform/web/Engine.h"
#include "platform/web/WebKitView.h"
#include "support/HttpServer.h"
#include "support/Rows.h"

// After GoogleTest: the X11 headers define None and Status.
#include "support/GtkLoop.h"

#include <webkit2/webkit2.h>

#include <cstdio>
#include <string>

using namespace testsupport;

namespace {
using testsupport::operator<<;

// A one-page PDF whose page is filled red.
constexpr char kRedPdf[] = "%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n2 0 obj "
                           "<</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n3 0 obj <</Type/Page"
                           "/Parent 2 0 R/MediaBox[0 0 612 792]/Contents 4 0 R>> endobj\n4 0 obj "
                           "<</Length 25>> stream\n1 0 0 rg 0 0 612 792 re f\nendstream endobj\n"
                           "trailer <</Root 1 0 R>>\n%%EOF\n";

// One window filled by one view, one server, for the whole suite.
struct Suite {
    HttpServer Server;
    int Loads = 0; // DownloadComplete events
    std::unique_ptr<platform::WebView> View;
    GtkWidget* Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
};
Suite* S = nullptr;

class Environment : public testing::Environment {
public:
    void SetUp() override {
        platform::PrepareEngine();
        ASSERT_TRUE(InitGtk()) << "no X display";
        S = new Suite;
        S->Server.Route("/pdf", HttpResponse{200, {{"Content-Type", "application/pdf"}}, kRedPdf});
        ASSERT_TRUE(S->Server.Listen());
        platform::WebViewEvents events;
        events.DownloadComplete = [] { ++S->Loads; };
        S->View = platform::CreateWebView(std::move(events));
        gtk_window_set_default_size(GTK_WINDOW(S->Window), 800, 600);
        gtk_container_add(GTK_CONTAINER(S->Window), S->View->Widget());
        gtk_widget_show_all(S->Window);
        ASSERT_TRUE(WaitUntil([] { return ServerMapped(GTK_WINDOW(S->Window)); }));
    }
    void TearDown() override { S->View.reset(), gtk_widget_destroy(S->Window), delete S; }
};
const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

// Xvfb offers only its own GLX: the real view never asks for OpenGL.
TEST(Composition, SoftwareOnThisDisplay) {
    const auto* view = dynamic_cast<platform::WebKitView*>(S->View.get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(
                  webkit_web_view_get_settings(view->Page())),
              WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
}

// The colour of the window's centre as the X server has it, "#rrggbb".
std::string Centre() {
    GdkWindow* native = gtk_widget_get_window(S->Window);
    const int width = gdk_window_get_width(native), height = gdk_window_get_height(native);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(native, width / 2, height / 2, 1, 1);
    if (shot == nullptr)
        return "nothing";
    const guchar* p = gdk_pixbuf_read_pixels(shot);
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", p[0], p[1], p[2]);
    g_object_unref(shot);
    return colour;
}

// Each page replaces the one before in the same view.
struct PageRow {
    const char* name;
    std::string page; // an address, or a path of the test's server
    std::string colour;
};
class PageReachesScreen : public testing::TestWithParam<PageRow> {};

TEST_P(PageReachesScreen, CentreInThePagesColour) {
    const PageRow& row = GetParam();
    const int loads = S->Loads;
    S->View->Navigate(row.page.starts_with("/") ? S->Server.Url(row.page) : row.page);
    ASSERT_TRUE(WaitUntil([&] { return S->Loads > loads; }));
    EXPECT_TRUE(WaitUntil([&] { return Centre() == row.colour; })) << Centre();
}

const std::string kFilled = "data:text/html,<body style='margin:0;background:%23";
INSTANTIATE_TEST_SUITE_P(Rows, PageReachesScreen,
                         testing::Values(PageRow{"green", kFilled + "00c000'></body>", "#00c000"},
                                         PageRow{"then blue", kFilled + "2040e0'></body>",
                                                 "#2040e0"},
                                         PageRow{"PDF viewer", "/pdf", "#ff0000"}),
                         RowName<PageRow>);

} // namespace
