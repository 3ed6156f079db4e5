#pragma once
// 8-bit text as the settings file and other programs' window captions hold it.

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace platform {

// The bytes as text: UTF-8 where valid, each other byte as a Windows-1252 character.
QString DecodeProfileBytes(QByteArrayView bytes);

// Whether the bytes are valid UTF-8 throughout.
bool ValidUtf8(QByteArrayView bytes);

// The Windows-1252 byte of a character, or nothing when Windows-1252 lacks it.
std::optional<char> Windows1252Byte(char16_t c);

} // namespace platform
