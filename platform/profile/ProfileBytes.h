#pragma once
// 8-bit text as the settings file and other programs' window captions hold it, and the UTF-8
// sequences the rest of the program's text is made of.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The length of the valid UTF-8 sequence at `at` (1 for an ASCII byte) and its code point,
// or 0 when the bytes there are not one (overlong forms, surrogates and cut sequences
// included).
int Utf8SequenceAt(std::string_view bytes, std::size_t at, char32_t& codePoint);

// Whether the bytes are valid UTF-8 throughout.
bool ValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// The bytes as text, in UTF-8: valid UTF-8 stays as it is, each other byte is read as a
// Windows-1252 character.
std::string DecodeProfileBytes(std::string_view bytes);

// The same text as code points.
std::u32string CodePointsOf(std::string_view bytes);

// The Windows-1252 byte of a character, or nothing when Windows-1252 lacks it.
std::optional<char> Windows1252Byte(char32_t c);

} // namespace platform
