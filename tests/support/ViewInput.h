#pragma once
// Pointer input on a real web view: the widget that receives it and where the links of the test
// server's /links page are.

#include "support/TestRoutes.h"

#include <QPoint>

class QWidget;

namespace viewinput {

// The widget the engine draws into and takes input on: the end of the view's focus proxy chain.
QWidget* RenderWidget(QWidget* view);
// The centre of a /links entry (CSS pixels are the view's pixels at zoom 1).
QPoint Centre(testserver::Link link);
// Moves the pointer over a point of the page, as a user would (the engine needs several moves
// to notice an element under the pointer).
void Hover(QWidget* view, QPoint point);
void Click(QWidget* view, QPoint point, Qt::MouseButton button = Qt::LeftButton);

} // namespace viewinput
