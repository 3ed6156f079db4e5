#pragma once
// The program's identity as the About box shows it: title, description and version numbers
// from the version block, the maker's addresses and the legal notice. No toolkit.

#include "version.h"

#include <string>

namespace ProgramInfo {

inline constexpr int Major = resources::VersionMajor;
inline constexpr int Minor = resources::VersionMinor;
inline constexpr int Revision = resources::VersionRevision;
inline constexpr int Build = resources::VersionBuild;

// The maker's web host name, its web address and its contact e-mail address.
inline constexpr char kMakerHost[] = "www.ulmeco.fr";
inline constexpr char kMakerWeb[] = "http://www.ulmeco.fr";
inline constexpr char kMakerEmail[] = "contact@ulmeco.fr";
// The one-line legal notice.
inline constexpr char kLegalNotice[] = "Copyright \u00a9 2003-2026 Ulmeco";

// The application title, "Orvane".
std::string Title();
// The version block's comments: "Navigateur internet d'Ulmeco".
std::string Description();
// The e-mail link's target: "mailto:", the address, "?subject=Informations sur Orvane".
std::string MailTarget();

// The About box's version line, "Version 1.03 révision 0000": the minor number always with two
// digits and the revision with four, filled with zeros on the left or cut to their last digits.
std::string VersionLine(int major, int minor, int revision);

} // namespace ProgramInfo
