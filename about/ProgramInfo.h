#pragma once
// The program's identity: its title, description, version numbers and icon, as the version
// block and the icon resource carry them.

#include "version.h"

#include <QIcon>
#include <QString>

namespace ProgramInfo {

inline constexpr int Major = resources::VersionMajor;
inline constexpr int Minor = resources::VersionMinor;
inline constexpr int Revision = resources::VersionRevision;
inline constexpr int Build = resources::VersionBuild;

// The application title, "Orvane".
QString Title();
// The version block's comments: "Navigateur internet d'Ulmeco".
QString Description();

// The program's icon with its three images: 48, 32 and 16 pixels.
QIcon ProgramIcon();

} // namespace ProgramInfo
