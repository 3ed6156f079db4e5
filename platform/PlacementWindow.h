#pragma once
// What the window placement routine needs of a window: its state and its outer bounds in twips,
// a one-step move and size, and one pass of pending-event processing.

namespace platform {

enum WindowStateValue : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

class PlacementWindow {
public:
    virtual ~PlacementWindow() = default;
    virtual int WindowState() const = 0;
    virtual void SetWindowState(int state) = 0;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void Move(double left, double top, double width, double height) = 0;
    virtual void DoEvents() = 0;
};

} // namespace platform
