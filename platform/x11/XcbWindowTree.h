#pragma once
// The window tree of an X11 display, through xcb.
//
// The desktop is the root window. Its children, topmost first, are the root's children in
// stacking order; under an EWMH window manager each frame among them stands for the client
// window it holds (the window that carries the caption and the class), while windows it does
// not manage (withdrawn, hidden) stay in the order as themselves. Other windows' children are
// their own children, topmost first. Texts are the 8-bit forms (_NET_WM_NAME in UTF-8, else
// WM_NAME; the class part of WM_CLASS), cut to the caller's buffer (maxCount - 1 characters).

#include "platform/x11/WindowTree.h"

#include <memory>
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
    QString GetWindowText(Hwnd window, int maxCount) override;
    QString GetClassName(Hwnd window, int maxCount) override;
    bool IsIconic(Hwnd window) override;
    // SW_RESTORE only; returns whether the window was viewable before.
    bool ShowWindow(Hwnd window, int command) override;
    bool SetForegroundWindow(Hwnd window) override;

private:
    struct Atoms;

    bool WindowManagerRuns();
    bool IsManaged(Hwnd window);
    std::vector<Hwnd> DesktopChildren();
    std::vector<Hwnd> ChildrenOf(Hwnd window);
    void Activate(Hwnd window);

    xcb_connection_t* connection_ = nullptr;
    bool ownsConnection_ = false;
    Hwnd root_ = 0;
    std::unique_ptr<Atoms> atoms_;
    // The children of each window whose first child was last asked for, topmost first, and
    // the parent each of them was listed under. Rebuilt at every GW_CHILD, so each walk sees
    // the windows as they are when it starts.
    std::unordered_map<Hwnd, std::vector<Hwnd>> children_;
    std::unordered_map<Hwnd, Hwnd> listedUnder_;
};

} // namespace platform
