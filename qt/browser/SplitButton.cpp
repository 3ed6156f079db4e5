#include "qt/browser/SplitButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>

namespace browser {

SplitButton::SplitButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::MenuButtonPopup);
}

QRect SplitButton::DropDownRect() const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
}

void SplitButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && DropDownRect().contains(event->position().toPoint())) {
        event->accept();
        emit dropDownPressed();
        return;
    }
    QToolButton::mousePressEvent(event);
}

void SplitButton::keyPressEvent(QKeyEvent* event) {
    const bool altDown = event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier;
    const bool f4 = event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier;
    if (altDown || f4) {
        event->accept();
        emit dropDownPressed();
        return;
    }
    QToolButton::keyPressEvent(event);
}

} // namespace browser
