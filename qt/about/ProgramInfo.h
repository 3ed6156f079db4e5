#pragma once
// The program's identity for the Qt window: the core's texts as QStrings, and the icon.

#include "about/ProgramInfo.h"

#include <QIcon>
#include <QString>

namespace QtProgramInfo {

using ProgramInfo::Major;
using ProgramInfo::Minor;
using ProgramInfo::Revision;

inline QString Title() {
    return QString::fromStdString(ProgramInfo::Title());
}
inline QString Description() {
    return QString::fromStdString(ProgramInfo::Description());
}
inline QString VersionLine(int major, int minor, int revision) {
    return QString::fromStdString(ProgramInfo::VersionLine(major, minor, revision));
}

// The program's icon with its three images: 48, 32 and 16 pixels.
QIcon ProgramIcon();

} // namespace QtProgramInfo
