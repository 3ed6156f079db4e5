#pragma once
// The placement interface on a real top-level widget: state from the widget's window state,
// outer bounds (frame and caption included) in twips.

#include "platform/PlacementWindow.h"

#include <QMargins>
#include <QRect>

class QWidget;

namespace platform {

class WidgetPlacement : public PlacementWindow {
public:
    explicit WidgetPlacement(QWidget& window) : window_(window) {}

    // 0 normal, 1 minimized, 2 maximized (full screen counts as maximized).
    int WindowState() const override;
    // 1 minimizes, 2 maximizes, any other value restores the normal state.
    void SetWindowState(int state) override;
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    // Places the frame at left, top and sizes the client area so that the outer size is
    // width, height. Sizes are kept within sane limits and within the screens, and a window that
    // would lie off every screen is brought back onto the primary screen.
    void Move(double left, double top, double width, double height) override;
    void DoEvents() override;

private:
    QMargins Frame() const;
    QRect OuterBounds() const;

    QWidget& window_;
};

} // namespace platform
