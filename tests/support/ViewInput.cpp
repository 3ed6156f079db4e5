#include "support/ViewInput.h"

#include <QTest>
#include <QWidget>

namespace viewinput {

QWidget* RenderWidget(QWidget* view) {
    QWidget* widget = view;
    while (widget->focusProxy() != nullptr) {
        widget = widget->focusProxy();
    }
    return widget;
}

QPoint Centre(testserver::Link link) {
    const testserver::LinkBox box = testserver::LinkPlace(link);
    return {box.Left + box.Width / 2, box.Top + box.Height / 2};
}

void Hover(QWidget* view, QPoint point) {
    QWidget* target = RenderWidget(view);
    QTest::mouseMove(target, point - QPoint(3, 3));
    QTest::mouseMove(target, point);
}

void Click(QWidget* view, QPoint point, Qt::MouseButton button) {
    Hover(view, point);
    QTest::mouseClick(RenderWidget(view), button, {}, point);
}

} // namespace viewinput
