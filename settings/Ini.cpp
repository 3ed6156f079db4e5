#include "settings/Ini.h"

#include "platform/Profile.h"

namespace BrowserMod1 {

namespace {
constexpr int kReadBufferSize = 1024;
}

QString IniFileName;

void IniWrite(const QString& section, const QString& key, const QString& value,
              const QString& file) {
    if (section.isEmpty()) {
        platform::WritePrivateProfileString(nullptr, nullptr, nullptr, file);
    } else if (key.isEmpty()) {
        platform::WritePrivateProfileString(&section, nullptr, nullptr, file);
    } else if (value.isEmpty()) {
        platform::WritePrivateProfileString(&section, &key, nullptr, file);
    } else {
        platform::WritePrivateProfileString(&section, &key, &value, file);
    }
}

QString IniRead(const QString& section, const QString& key, const QString& file) {
    QString buffer;
    const int copied = platform::GetPrivateProfileString(
        &section, key.isEmpty() ? nullptr : &key, QString(""), buffer, kReadBufferSize, file);
    return buffer.first(copied);
}

void IniWriteDefault(const QString& section, const QString& key, const QString& value) {
    IniWrite(section, key, value, IniFileName);
}

QString IniReadDefault(const QString& section, const QString& key) {
    return IniRead(section, key, IniFileName);
}

} // namespace BrowserMod1
