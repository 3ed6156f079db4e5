#include "qt/browser/TwipsGeometry.h"

#include "qt/platform/Twips.h"

#include <QWidget>

namespace browser {

void TwipsGeometry::Place(QWidget* control, const TwipsRect& rect) {
    rects_.insert(control, rect);
    // Edges are converted, not sizes, so that neighbours meet without a gap.
    const int left = platform::TwipsToPixelsX(rect.Left);
    const int top = platform::TwipsToPixelsY(rect.Top);
    const int right = platform::TwipsToPixelsX(rect.Left + rect.Width);
    const int bottom = platform::TwipsToPixelsY(rect.Top + rect.Height);
    control->setGeometry(left, top, right - left, bottom - top);
}

TwipsRect TwipsGeometry::Of(const QWidget* control) const {
    return rects_.value(control);
}

void TwipsGeometry::SetLeft(QWidget* control, float left) {
    TwipsRect rect = Of(control);
    rect.Left = left;
    Place(control, rect);
}

void TwipsGeometry::SetWidth(QWidget* control, float width) {
    TwipsRect rect = Of(control);
    rect.Width = width;
    Place(control, rect);
}

void TwipsGeometry::SetHeight(QWidget* control, float height) {
    TwipsRect rect = Of(control);
    rect.Height = height;
    Place(control, rect);
}

} // namespace browser
