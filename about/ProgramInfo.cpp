#include "about/ProgramInfo.h"

namespace ProgramInfo {

QString Title() {
    return QStringLiteral("Orvane");
}

QString Description() {
    return QStringLiteral("Navigateur internet d'Ulmeco");
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {48, 32, 16}) {
        icon.addFile(QStringLiteral(":/orvane/orvane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace ProgramInfo
