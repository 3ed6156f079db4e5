// Pages on a display whose OpenGL is only Mesa's software renderer, as on this Xvfb: the engine
// is told to compose in software, and what a page or the PDF viewer draws reaches the screen,
// read back from the X server.
#include "support/Rows.h" // GoogleTest before the X11 headers, whose macros clash with its names

#include "platform/web/Engine.h"
#include "platform/web/WebKitView.h"
#include "support/GtkLoop.h"

#include <webkit2/webkit2.h>

using namespace testsupport;

namespace {
using testsupport::operator<<;

// One window filled by one view for the whole suite, and its DownloadComplete events.
int Loads = 0;
std::unique_ptr<platform::WebView> View;
GtkWidget* Window = nullptr;

class Environment : public testing::Environment {
public:
    void SetUp() override {
        platform::PrepareEngine();
        ASSERT_TRUE(InitGtk()) << "no X display";
        platform::WebViewEvents events;
        events.DownloadComplete = [] { ++Loads; };
        View = platform::CreateWebView(std::move(events));
        Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(Window), 800, 600);
        gtk_container_add(GTK_CONTAINER(Window), View->Widget());
        gtk_widget_show_all(Window);
        ASSERT_TRUE(WaitUntil([] { return ServerMapped(GTK_WINDOW(Window)); }));
    }
    void TearDown() override { View.reset(), gtk_widget_destroy(Window); }
};
const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

// Xvfb offers only its own GLX: the real view never asks for OpenGL.
TEST(Composition, SoftwareOnThisDisplay) {
    const auto* view = dynamic_cast<platform::WebKitView*>(View.get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(
                  webkit_web_view_get_settings(view->Page())),
              WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
}

// The colour of the window's centre as the X server has it, "#rrggbb".
std::string Centre() {
    GdkWindow* native = gtk_widget_get_window(Window);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(native, gdk_window_get_width(native) / 2,
                                                 gdk_window_get_height(native) / 2, 1, 1);
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
    std::string page;
    std::string colour;
};
class PageReachesScreen : public testing::TestWithParam<PageRow> {};

TEST_P(PageReachesScreen, CentreInThePagesColour) {
    const int loads = Loads;
    View->Navigate(GetParam().page);
    ASSERT_TRUE(WaitUntil([&] { return Loads > loads; }));
    EXPECT_TRUE(WaitUntil([&] { return Centre() == GetParam().colour; })) << Centre();
}

const std::string kFilled = "data:text/html,<body style='margin:0;background:%23";
// A one-page PDF whose page is filled red.
const std::string kRedPdf =
    "data:application/pdf,%25PDF-1.4%0A1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj%0A2 0 obj "
    "<</Type/Pages/Kids[3 0 R]/Count 1>> endobj%0A3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 "
    "612 792]/Contents 4 0 R>> endobj%0A4 0 obj <</Length 25>> stream%0A1 0 0 rg 0 0 612 792 re "
    "f%0Aendstream endobj%0Atrailer <</Root 1 0 R>>%0A%25%25EOF%0A";
INSTANTIATE_TEST_SUITE_P(Rows, PageReachesScreen,
                         testing::Values(PageRow{"green", kFilled + "00c000'></body>", "#00c000"},
                                         PageRow{"then blue", kFilled + "2040e0'></body>",
                                                 "#2040e0"},
                                         PageRow{"PDF viewer", kRedPdf, "#ff0000"}),
                         RowName<PageRow>);

} // namespace
