// The composition chosen on a display whose OpenGL is only Mesa's software renderer, as on this
// Xvfb: the real view never asks for OpenGL, and the engine's DMA-BUF renderer is off. What the
// pages and the PDF viewer draw reaches this screen whatever the program chooses, so no row
// reads the screen: that would test the engine alone.
#include "support/GtkLoop.h"

#include "platform/web/Engine.h"
#include "platform/web/WebKitView.h"

#include <webkit2/webkit2.h>

TEST(Composition, SoftwareOnThisDisplay) {
    platform::PrepareEngine();
    ASSERT_TRUE(testsupport::InitGtk()) << "no X display";
    const auto view = platform::CreateWebView({});
    const auto* real = dynamic_cast<platform::WebKitView*>(view.get());
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(
                  webkit_web_view_get_settings(real->Page())),
              WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    EXPECT_STREQ(g_getenv("WEBKIT_DISABLE_DMABUF_RENDERER"), "1");
}
