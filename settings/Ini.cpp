#include "settings/Ini.h"

#include "platform/profile/Profile.h"

namespace BrowserMod1 {

namespace {
constexpr int kReadBufferSize = 1024;
}

std::string IniFileName;
std::string UserIniFileName;

void IniWrite(const std::string& section, const std::string& key, const std::string& value,
              const std::string& file) {
    if (section.empty()) {
        platform::WritePrivateProfileString(nullptr, nullptr, nullptr, file);
    } else if (key.empty()) {
        platform::WritePrivateProfileString(&section, nullptr, nullptr, file);
    } else if (value.empty()) {
        platform::WritePrivateProfileString(&section, &key, nullptr, file);
    } else {
        platform::WritePrivateProfileString(&section, &key, &value, file);
    }
}

std::string IniRead(const std::string& section, const std::string& key, const std::string& file) {
    std::string buffer;
    platform::GetPrivateProfileString(&section, key.empty() ? nullptr : &key, std::string(), buffer,
                                      kReadBufferSize, file);
    return buffer;
}

void IniWriteDefault(const std::string& section, const std::string& key, const std::string& value) {
    IniWrite(section, key, value, IniFileName);
}

std::string IniReadDefault(const std::string& section, const std::string& key) {
    return IniRead(section, key, IniFileName);
}

namespace {

// The user's own file is used while the program's file cannot be written.
bool UserFileInUse() {
    return !UserIniFileName.empty() && !platform::ProfileFileWritable(IniFileName);
}

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : file.substr(0, slash);
}

} // namespace

std::string IniReadUser(const std::string& section, const std::string& key) {
    if (UserFileInUse()) {
        std::string own = IniRead(section, key, UserIniFileName);
        if (!own.empty()) {
            return own;
        }
    }
    return IniReadDefault(section, key);
}

void IniWriteUser(const std::string& section, const std::string& key, const std::string& value) {
    if (!UserFileInUse()) {
        IniWriteDefault(section, key, value);
        return;
    }
    platform::MakeFolders(FolderOf(UserIniFileName));
    IniWrite(section, key, value, UserIniFileName);
}

} // namespace BrowserMod1
