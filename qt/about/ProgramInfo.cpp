#include "qt/about/ProgramInfo.h"

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

QString VersionLine(int major, int minor, int revision) {
    return QStringLiteral("Version ") + QString::number(major) + QStringLiteral(".") +
           (QStringLiteral("0") + QString::number(minor)).right(2) +
           QStringLiteral(" r\u00e9vision ") +
           (QStringLiteral("000") + QString::number(revision)).right(4);
}

} // namespace ProgramInfo
