#pragma once
// The profile (INI) format on a byte buffer: reading values, key and section names, and
// producing the edited buffer. No files here.
//
// Rules (the INI rules kept for compatibility with settings files written on Windows):
// - A line whose first non-blank character is "[" starts a section; its name runs to the first
//   "]" (or the line end). A line holding "=" is an entry "key=value". Lines whose first
//   non-blank character is ";" or "#" are comments; comments, blank lines and any other line are
//   kept on writing and otherwise ignored. Entries before the first section belong to none.
// - Names match without regard to letter case, blanks around them ignored; the first match
//   wins (a later section or key of the same name is neither read nor written).
// - Blanks (spaces, tabs) around keys and values are dropped on read; a value quoted at both
//   ends with the same quote (double or single) loses the quotes.
// - Lines end with LF or CR LF. Edits touch only the lines concerned; a new line takes the
//   line end of the file's first line (LF for a file that has none).
// - Text is UTF-8; bytes that are not valid UTF-8 are Windows-1252 (files from Windows). New
//   text is written in the file's own encoding (see ProfileEncoding), so that a file never
//   mixes two encodings.
// - Names and values are UTF-8 std::string; limits count characters (code points), and a cut
//   never splits one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// How a settings file is written:
// - Utf8: UTF-8, with or without a byte order mark (kept where it is);
// - Windows1252: no byte order mark, and bytes that are not valid UTF-8 (a file from Windows);
// - Utf16LE, Utf16BE: UTF-16 after its byte order mark (a Windows editor's "Unicode").
enum class ProfileEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

ProfileEncoding ProfileEncodingOf(std::string_view file);

// The text that the functions below read and edit: a UTF-16 file's text in UTF-8, without its
// byte order mark (a lone surrogate read as "?", an odd last byte dropped); an 8-bit file's
// bytes as they are.
std::string ProfileTextOf(std::string_view file, ProfileEncoding encoding);

// The file's bytes for such a text: back in UTF-16 after its byte order mark, or as they are.
// ProfileFileOf(ProfileTextOf(file)) gives the file back byte for byte unless the file is a
// UTF-16 file with broken units (an odd last byte, a lone surrogate).
std::string ProfileFileOf(std::string_view text, ProfileEncoding encoding);

// Whether new text (a name or a value, UTF-8) can be written into a file of the encoding and
// reads back the same: Windows-1252 holds few characters, and text that is not valid UTF-8 is
// never written.
bool ProfileEncodingHolds(std::string_view text, ProfileEncoding encoding);

// The value of key in the first section named section, or nothing when either is missing.
std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The key names of the first section named section in file order, or nothing when missing.
std::optional<std::vector<std::string>> ProfileKeyNames(std::string_view text,
                                                        std::string_view section);

// The names of all sections in file order.
std::vector<std::string> ProfileSectionNames(std::string_view text);

// The text with key set to value: the first such key replaced in place, or a new entry after
// the last entry of the section, or a new section at the end of the text. New text is written
// in Windows-1252 for such a file, in UTF-8 otherwise (for UTF-16 files too, whose text is
// UTF-8 here); what the encoding cannot hold must be refused before (ProfileEncodingHolds).
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value,
                            ProfileEncoding encoding = ProfileEncoding::Utf8);

// The text without the first entry of key in section (unchanged when missing).
std::string RemoveProfileKey(std::string_view text, std::string_view section, std::string_view key);

// The text without the first section named section, its header and every line up to the next
// section (unchanged when missing).
std::string RemoveProfileSection(std::string_view text, std::string_view section);

// What a caller's buffer of `size` characters receives of a value: its first size - 1
// characters (code points, never split).
std::string CutToBuffer(std::string_view value, int size);

// What a buffer of `size` characters receives of a list of names: each name followed by a NUL.
// When they do not fit, the INI API's rule: the list is cut to size - 2 characters (the last
// name cut short), the two NULs that would end it falling in the buffer's last two places.
std::string NameListForBuffer(const std::vector<std::string>& names, int size);

} // namespace platform
