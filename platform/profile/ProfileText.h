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
// - Limits count characters (code points): a character outside the BMP counts once and is never
//   split.

#include "platform/profile/ProfileBytes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// How a settings file is written:
// - Utf8: UTF-8, with or without a byte order mark (kept where it is);
// - Windows1252: no byte order mark, and bytes that are not valid UTF-8 (a file from Windows);
// - Utf16LE, Utf16BE: UTF-16 after its byte order mark (a Windows editor's "Unicode").
enum class ProfileEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

ProfileEncoding ProfileEncodingOf(QByteArrayView file);

// The text that the functions below read and edit: a UTF-16 file's text in UTF-8, without its
// byte order mark; an 8-bit file's bytes as they are.
QByteArray ProfileTextOf(QByteArrayView file, ProfileEncoding encoding);

// The file's bytes for such a text: back in UTF-16 after its byte order mark, or as they are.
// ProfileFileOf(ProfileTextOf(file)) gives the file back byte for byte unless the file is a
// UTF-16 file with broken units (an odd last byte, a lone surrogate).
QByteArray ProfileFileOf(QByteArrayView text, ProfileEncoding encoding);

// Whether new text (a name or a value) can be written into a file of the encoding and reads
// back the same: Windows-1252 holds few characters, and no encoding holds a lone surrogate.
bool ProfileEncodingHolds(QStringView text, ProfileEncoding encoding);

// The value of key in the first section named section, or nothing when either is missing.
std::optional<QString> ProfileValue(QByteArrayView text, QStringView section, QStringView key);

// The key names of the first section named section in file order, or nothing when missing.
std::optional<QStringList> ProfileKeyNames(QByteArrayView text, QStringView section);

// The names of all sections in file order.
QStringList ProfileSectionNames(QByteArrayView text);

// The text with key set to value: the first such key replaced in place, or a new entry after
// the last entry of the section, or a new section at the end of the text. New text is written
// in Windows-1252 for such a file, in UTF-8 otherwise (for UTF-16 files too, whose text is
// UTF-8 here); what the encoding cannot hold must be refused before (ProfileEncodingHolds).
QByteArray SetProfileValue(QByteArrayView text, QStringView section, QStringView key,
                           QStringView value, ProfileEncoding encoding = ProfileEncoding::Utf8);

// The text without the first entry of key in section (unchanged when missing).
QByteArray RemoveProfileKey(QByteArrayView text, QStringView section, QStringView key);

// The text without the first section named section, its header and every line up to the next
// section (unchanged when missing).
QByteArray RemoveProfileSection(QByteArrayView text, QStringView section);

// What a caller's buffer of `size` characters receives of a value: its first size - 1
// characters (code points: a surrogate pair counts once and is never split).
QString CutToBuffer(const QString& value, int size);

// What a buffer of `size` characters receives of a list of names: each name followed by a NUL.
// When they do not fit, the INI API's rule: the list is cut to size - 2 characters (the last
// name cut short), the two NULs that would end it falling in the buffer's last two places.
QString NameListForBuffer(const QStringList& names, int size);

} // namespace platform
