#include "app/StyleWinXP.h"

#include "platform/Style.h"

namespace StyleWinXP {

void InitCommonControlsXP() {
    // The desktop's own style first; when it cannot be loaded (missing plugin, unknown name in
    // QT_STYLE_OVERRIDE), the plain built-in style, so that every control is drawn all the same.
    try {
        platform::InitDesktopStyle();
    } catch (const platform::StyleUnavailable&) {
        platform::InitFallbackStyle();
    }
}

} // namespace StyleWinXP
