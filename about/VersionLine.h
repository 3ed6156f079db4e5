#pragma once
// The About box's version line.

#include <QString>

// "Version 1.03 révision 0000": the minor number always with two digits and the revision with
// four, filled with zeros on the left or cut to their last digits.
QString VersionLine(int major, int minor, int revision);
