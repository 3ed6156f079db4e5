#include "settings/Ini.h"

#include "platform/profile/Profile.h"

#include <QDir>
#include <QFileInfo>

namespace BrowserMod1 {

namespace {
constexpr int kReadBufferSize = 1024;
}

QString IniFileName;
QString UserIniFileName;

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

namespace {

// The user's own file is used while the program's file cannot be written.
bool UserFileInUse() {
    return !UserIniFileName.isEmpty() && !platform::ProfileFileWritable(IniFileName);
}

} // namespace

QString IniReadUser(const QString& section, const QString& key) {
    if (UserFileInUse()) {
        const QString own = IniRead(section, key, UserIniFileName);
        if (!own.isEmpty()) {
            return own;
        }
    }
    return IniReadDefault(section, key);
}

void IniWriteUser(const QString& section, const QString& key, const QString& value) {
    if (!UserFileInUse()) {
        IniWriteDefault(section, key, value);
        return;
    }
    QDir().mkpath(QFileInfo(UserIniFileName).path());
    IniWrite(section, key, value, UserIniFileName);
}

} // namespace BrowserMod1
