#pragma once
// The profile-file functions on INI files, with the INI rules kept for file compatibility
// (platform/ProfileText.h). A null pointer stands for a null argument.

#include <QString>

namespace platform {

// Copies into `returned` the value of key in section (blanks trimmed, surrounding quotes
// removed), or defaultValue when the file, section or key is missing, cut to size - 1
// characters. With a null key it copies the section's key names, each followed by a NUL.
// Returns the number of characters copied, not counting the final NUL.
int GetPrivateProfileString(const QString* section, const QString* key, const QString& defaultValue,
                            QString& returned, int size, const QString& fileName);

// Stores value for key in section, creating file, section and key as needed. A null value
// removes the key; a null key removes the section; a null section only flushes.
// Every other line of the file is kept. Returns false when the write was refused.
bool WritePrivateProfileString(const QString* section, const QString* key, const QString* value,
                               const QString& fileName);

} // namespace platform
