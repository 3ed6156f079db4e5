#pragma once
// The window tree of an X11 display, through xcb.
//
// The desktop is the root window. Its children, topmost first, are the root's children in
// stacking order, each frame among them standing for the client window it holds (the window
// that carries the caption and the class), while windows that are not managed (withdrawn,
// hidden) stay in the order as themselves. The clients are those of the window manager's EWMH
// list; a manager that publishes none but reparents its clients (the X window manager of a
// Wayland compositor) is read as ICCCM says: the client is the window with WM_STATE below each
// child of the root. Other windows' children are
// their own children, topmost first. Texts are the 8-bit forms (_NET_WM_NAME in UTF-8, else
// WM_NAME; the class part of WM_CLASS), cut to the caller's buffer (maxCount - 1 characters).

#include "platform/x11/WindowTree.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct xcb_connection_t;

namespace platform {

class XcbWindowTree : public WindowTree {
public:
    // Uses connection, which must outlive this object; with none, opens its own connection to
    // $DISPLAY and closes it in the destructor. Without a usable display every query answers
    // "no window".
    explicit XcbWindowTree(xcb_connection_t* connection = nullptr);
    ~XcbWindowTree() override;
    XcbWindowTree(const XcbWindowTree&) = delete;
    XcbWindowTree& operator=(const XcbWindowTree&) = delete;

    bool IsConnected() const { return root_ != 0; }

    Hwnd GetDesktopWindow() override;
    Hwnd GetWindow(Hwnd window, int command) override;
    std::string GetWindowText(Hwnd window, int maxCount) override;
    std::string GetClassName(Hwnd window, int maxCount) override;
    bool IsIconic(Hwnd window) override;
    // SW_RESTORE only; returns whether the window was viewable before.
    bool ShowWindow(Hwnd window, int command) override;
    bool SetForegroundWindow(Hwnd window) override;

    // A window's property as read: type XCB_NONE when it has none; cut when only its start was
    // read.
    struct Property {
        std::uint32_t type = 0;
        std::uint8_t format = 0;
        bool cut = false;
        std::string bytes;
    };

private:
    struct Atoms;
    enum TextProperty { NetWmName, WmName, WmClass };

    bool WindowManagerRuns();
    bool IsManaged(Hwnd window);
    bool HasWmState(Hwnd window);
    Hwnd ClientBelow(Hwnd topLevel);
    std::vector<Hwnd> ManagedClients();
    std::vector<Hwnd> DesktopChildren();
    std::vector<Hwnd> ChildrenOf(Hwnd window);
    void Activate(Hwnd window);
    void ReadTexts(const std::vector<Hwnd>& windows);
    Property Text(Hwnd window, TextProperty which);

    xcb_connection_t* connection_ = nullptr;
    bool ownsConnection_ = false;
    Hwnd root_ = 0;
    std::unique_ptr<Atoms> atoms_;
    // The children of each window whose first child was last asked for, topmost first, and
    // the parent each of them was listed under. Rebuilt at every GW_CHILD, so each walk sees
    // the windows as they are when it starts.
    std::unordered_map<Hwnd, std::vector<Hwnd>> children_;
    std::unordered_map<Hwnd, Hwnd> listedUnder_;
    // The caption and class properties of the windows last listed, asked for all at once: a
    // round trip for every batch of windows rather than for every text (a display across a
    // network answers each in milliseconds).
    std::unordered_map<Hwnd, std::array<Property, 3>> texts_;
};

} // namespace platform
