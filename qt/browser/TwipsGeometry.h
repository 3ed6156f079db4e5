#pragma once
// Each control's position and size in twips, as the window's logic reads and sets them.
//
// The twips values are the model: setting one stores it and places the widget in logical
// pixels; reading one gives back what was stored, unaffected by pixel rounding.

#include <QHash>

class QWidget;

namespace browser {

struct TwipsRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

class TwipsGeometry {
public:
    // Stores the control's rectangle and places the widget.
    void Place(QWidget* control, const TwipsRect& rect);
    // The stored rectangle; all zero for a control never placed.
    TwipsRect Of(const QWidget* control) const;

    void SetLeft(QWidget* control, float left);
    void SetWidth(QWidget* control, float width);
    void SetHeight(QWidget* control, float height);

private:
    QHash<const QWidget*, TwipsRect> rects_;
};

} // namespace browser
