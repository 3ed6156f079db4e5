#pragma once
// 8-bit text as the settings file and other programs' window captions hold it.

#include <QByteArrayView>
#include <QString>

namespace platform {

// The bytes as text: UTF-8 where valid, each other byte as a Windows-1252 character.
QString DecodeProfileBytes(QByteArrayView bytes);

} // namespace platform
