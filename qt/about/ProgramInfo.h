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

// The About box's version line, "Version 1.03 révision 0000": the minor number always with two
// digits and the revision with four, filled with zeros on the left or cut to their last digits.
QString VersionLine(int major, int minor, int revision);

} // namespace ProgramInfo
