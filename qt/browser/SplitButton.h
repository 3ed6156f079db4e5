#pragma once
// A tool button with a separate drop-down part at its right edge.
//
// A press on the main part clicks the button as usual; a press on the arrow part (or Alt+Down,
// or F4, while the button has the focus) raises dropDownPressed instead and never clicks. The
// button holds no menu of its own: whoever receives dropDownPressed decides what to show.

#include <QToolButton>

namespace browser {

class SplitButton : public QToolButton {
    Q_OBJECT
public:
    explicit SplitButton(QWidget* parent = nullptr);

    // The drop-down part, in the button's coordinates.
    QRect DropDownRect() const;

signals:
    void dropDownPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace browser
