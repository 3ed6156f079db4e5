#include "about/VersionLine.h"

QString VersionLine(int major, int minor, int revision) {
    return QStringLiteral("Version ") + QString::number(major) + QStringLiteral(".") +
           (QStringLiteral("0") + QString::number(minor)).right(2) +
           QStringLiteral(" r\u00e9vision ") +
           (QStringLiteral("000") + QString::number(revision)).right(4);
}
