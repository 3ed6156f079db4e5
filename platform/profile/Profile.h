#pragma once
// The profile-file functions on INI files, with the INI rules kept for file compatibility
// (platform/profile/ProfileText.h). A null pointer stands for a null argument. Texts are UTF-8.
//
// A file may be written in UTF-8 (with or without a byte order mark), Windows-1252 or UTF-16
// (little or big endian, after a byte order mark): each is read as such, and a write keeps the
// file's encoding, byte order mark and line ends.

#include <string>

namespace platform {

// Copies into `returned` the value of key in section (blanks trimmed, surrounding quotes
// removed), or defaultValue when the file, section or key is missing, cut to size - 1
// characters (code points, never split). With a null key it copies the section's key names,
// each followed by a NUL. Returns the number of characters copied, not counting the final NUL.
int GetPrivateProfileString(const std::string* section, const std::string* key,
                            const std::string& defaultValue, std::string& returned, int size,
                            const std::string& fileName);

// Stores value for key in section, creating file, section and key as needed. A null value
// removes the key; a null key removes the section; a null section only flushes.
// Every other line of the file is kept. Returns false when the write was refused: the file or
// its folder cannot be written, or the file's encoding cannot hold the new text (Windows-1252,
// text that is not UTF-8) or the file cannot be written back exactly (a UTF-16 file with broken
// units).
bool WritePrivateProfileString(const std::string* section, const std::string* key,
                               const std::string* value, const std::string& fileName);

// Whether a write to the file could be carried out now: its folder takes new files (the lock
// and the temporary file live there), and the file, where it exists, can be written.
bool ProfileFileWritable(const std::string& fileName);

// The user's own folder for settings: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config.
std::string UserConfigFolder();

// Makes the folder and those above it that are missing (mode 0700 for new ones); true when it
// is there afterwards.
bool MakeFolders(const std::string& folder);

} // namespace platform
