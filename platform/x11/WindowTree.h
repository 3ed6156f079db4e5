#pragma once
// The window services that the previous-instance search needs: a walk over the desktop's
// top-level windows by handle, with their captions and classes read into buffers of a given size.
// The X11 implementation is XcbWindowTree; tests may use a fake.

#include <cstdint>
#include <string>

namespace platform {

using Hwnd = std::uint32_t; // 0 is "no window"

inline constexpr int GW_HWNDNEXT = 2;
inline constexpr int GW_CHILD = 5;
inline constexpr int SW_RESTORE = 9;

class WindowTree {
public:
    virtual ~WindowTree() = default;
    virtual Hwnd GetDesktopWindow() = 0;
    // GW_CHILD: first child, topmost first; GW_HWNDNEXT: next sibling below. 0 when none.
    virtual Hwnd GetWindow(Hwnd window, int command) = 0;
    // At most maxCount - 1 characters of the 8-bit caption / class name, decoded into UTF-8.
    virtual std::string GetWindowText(Hwnd window, int maxCount) = 0;
    virtual std::string GetClassName(Hwnd window, int maxCount) = 0;
    virtual bool IsIconic(Hwnd window) = 0;
    virtual bool ShowWindow(Hwnd window, int command) = 0;
    virtual bool SetForegroundWindow(Hwnd window) = 0;
};

} // namespace platform
