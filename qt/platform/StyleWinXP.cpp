#include "qt/platform/StyleWinXP.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace StyleWinXP {
namespace {

// The style the desktop asks for, or none when it cannot be created.
QStyle* DesktopStyle() {
    const QString name = qEnvironmentVariable("QT_STYLE_OVERRIDE");
    if (!name.isEmpty()) {
        return QStyleFactory::create(name);
    }
    const QStringList keys = QStyleFactory::keys();
    return keys.isEmpty() ? nullptr : QStyleFactory::create(keys.first());
}

} // namespace

void InitCommonControlsXP() {
    // Without an override, the style Qt chose for this desktop is already in place.
    if (qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE") && QApplication::style() != nullptr) {
        return;
    }
    if (QStyle* style = DesktopStyle()) {
        QApplication::setStyle(style);
    } else if (QStyle* fallback = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fallback);
    }
}

} // namespace StyleWinXP
