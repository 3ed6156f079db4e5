#include "platform/Style.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace platform {

void InitDesktopStyle() {
    QString name = qEnvironmentVariable("QT_STYLE_OVERRIDE");
    if (name.isEmpty()) {
        // The style Qt chose for this desktop is already in place.
        if (QApplication::style() != nullptr) {
            return;
        }
        const QStringList keys = QStyleFactory::keys();
        if (keys.isEmpty()) {
            throw StyleUnavailable("no widget style available");
        }
        name = keys.first();
    }
    QStyle* style = QStyleFactory::create(name);
    if (style == nullptr) {
        throw StyleUnavailable("widget style not available: " + name.toStdString());
    }
    QApplication::setStyle(style);
}

void InitFallbackStyle() {
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(style);
    }
}

} // namespace platform
