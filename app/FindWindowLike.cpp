// The earlier-instance search: a walk over the direct children of one window.
#include "app/FindWindowLike.h"

#include "app/Like.h"
#include "browser/WindowIdentity.h"

namespace BrowserMod1 {
namespace {

// The size of the caption and class-name buffers: the window tree fills at most 254 characters.
constexpr int kTextBufferSize = 255;

} // namespace

std::string InstanceCaptionPattern() {
    return std::string("*") + kAppCaption;
}

std::string InstanceClassPattern() {
    return browser::kWindowClass;
}

platform::Hwnd FindWindowLike(platform::WindowTree& tree, platform::Hwnd startWindow,
                              const std::string& captionPattern, const std::string& classPattern) {
    // Only the direct children are examined. Walking the deeper levels as well could never
    // change the answer: a match below the first level is never what the caller gets.
    if (startWindow == 0)
        startWindow = tree.GetDesktopWindow();

    platform::Hwnd result = 0;
    for (platform::Hwnd child = tree.GetWindow(startWindow, platform::GW_CHILD); child != 0;
         child = tree.GetWindow(child, platform::GW_HWNDNEXT)) {
        const std::string caption = tree.GetWindowText(child, kTextBufferSize);
        const std::string className = tree.GetClassName(child, kTextBufferSize);
        // Both tests are made every time; a later match replaces an earlier one.
        const bool captionMatches = Like(caption, captionPattern);
        const bool classMatches = Like(className, classPattern);
        if (captionMatches && classMatches)
            result = child;
    }
    return result;
}

bool ActivatePreviousInstance(platform::WindowTree& tree) {
    const platform::Hwnd window =
        FindWindowLike(tree, 0, InstanceCaptionPattern(), InstanceClassPattern());
    if (window == 0)
        return false;
    if (tree.IsIconic(window))
        tree.ShowWindow(window, platform::SW_RESTORE);
    tree.SetForegroundWindow(window);
    return true;
}

} // namespace BrowserMod1
