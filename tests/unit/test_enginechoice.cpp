// The composition each display gets: software where its OpenGL can only be Mesa drawing on the
// CPU (or the user asks for it), the engine's own choice elsewhere.
#include "platform/web/EngineChoice.h"

#include "support/Rows.h"

namespace {
using platform::DisplayOpenGL;
using testsupport::operator<<;

struct CompositionRow {
    const char* name;
    DisplayOpenGL display;
    const char* alwaysSoftware; // LIBGL_ALWAYS_SOFTWARE
    bool software;
};
class Composition : public testing::TestWithParam<CompositionRow> {};

TEST_P(Composition, SoftwareOnlyWhereNothingDraws) {
    const CompositionRow& row = GetParam();
    EXPECT_EQ(platform::IsSoftwareDisplay(row.display, row.alwaysSoftware), row.software);
}

const DisplayOpenGL kXvfb{true, "SGI", false, false, {}}, kRemote{true, "SGI", false, true, {}};
DisplayOpenGL Dri3(const char* driver) {
    return {true, "SGI", true, true, driver};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Composition,
    testing::Values(
        CompositionRow{"Xvfb: llvmpipe only", kXvfb, "", true},
        CompositionRow{"NVIDIA's GLX", {true, "NVIDIA Corporation", false, false, {}}, "", false},
        CompositionRow{"i915", Dri3("i915"), "", false},
        CompositionRow{"display-only device", Dri3("qxl"), "", true},
        CompositionRow{"virtio_gpu draws through the host", Dri3("virtio_gpu"), "", false},
        CompositionRow{"DRI3 without a device (remote)", kRemote, "", false},
        CompositionRow{"LIBGL_ALWAYS_SOFTWARE=1", Dri3("i915"), "1", true},
        CompositionRow{"LIBGL_ALWAYS_SOFTWARE=TRUE", Dri3("i915"), "TRUE", true},
        CompositionRow{"LIBGL_ALWAYS_SOFTWARE=0 keeps the device", Dri3("i915"), "0", false},
        CompositionRow{"no X server to ask", {}, "", false}),
    testsupport::RowName<CompositionRow>);
} // namespace
