#include "platform/profile/Profile.h"

#include "platform/StatusText.h"
#include "platform/profile/ProfileFile.h"
#include "platform/profile/ProfileText.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string WithoutTrailingBlanks(const std::string& text) {
    std::size_t length = text.size();
    while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) {
        --length;
    }
    return text.substr(0, length);
}

// The text of a file's bytes, in the form the format functions read.
std::string TextOf(const std::string& file) {
    return ProfileTextOf(file, ProfileEncodingOf(file));
}

// What a write makes of the file's bytes. The file is edited as text and written back in its
// own encoding; a file that would not come back byte for byte, or new text that its encoding
// cannot hold, is refused rather than damaged.
FileEdit Edited(const std::string& file, const std::string& section, const std::string* key,
                const std::string* value) {
    const ProfileEncoding encoding = ProfileEncodingOf(file);
    const std::string text = ProfileTextOf(file, encoding);
    std::string edited;
    if (key == nullptr) {
        edited = RemoveProfileSection(text, section);
    } else if (value == nullptr) {
        edited = RemoveProfileKey(text, section, *key);
    } else {
        for (const std::string* part : {&section, key, value}) {
            if (!ProfileEncodingHolds(*part, encoding)) {
                return {FileEdit::Outcome::Refused, {}};
            }
        }
        edited = SetProfileValue(text, section, *key, *value, encoding);
    }
    if (edited == text) {
        return {};
    }
    if (ProfileFileOf(text, encoding) != file) {
        return {FileEdit::Outcome::Refused, {}};
    }
    return {FileEdit::Outcome::Changed, ProfileFileOf(edited, encoding)};
}

// Removes "." parts, repeated and trailing slashes of an absolute path.
std::string CleanPath(const std::string& path) {
    std::string out;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t next = std::min(path.find('/', at), path.size());
        const std::string_view part(path.data() + at, next - at);
        if (!part.empty() && part != ".") {
            out += '/';
            out.append(part);
        }
        at = next + 1;
    }
    return out.empty() ? "/" : out;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return CleanPath(home);
    }
    const passwd* entry = ::getpwuid(::getuid());
    if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
        return CleanPath(entry->pw_dir);
    }
    return "/";
}

} // namespace

int GetPrivateProfileString(const std::string* section, const std::string* key,
                            const std::string& defaultValue, std::string& returned, int size,
                            const std::string& fileName) {
    const std::string text = TextOf(ReadProfileFile(fileName));
    if (section == nullptr) {
        returned = NameListForBuffer(ProfileSectionNames(text), size);
    } else if (key == nullptr) {
        returned = NameListForBuffer(
            ProfileKeyNames(text, *section).value_or(std::vector<std::string>()), size);
    } else {
        const std::optional<std::string> value = ProfileValue(text, *section, *key);
        returned = CutToBuffer(value ? *value : WithoutTrailingBlanks(defaultValue), size);
    }
    return static_cast<int>(CharacterCount(returned));
}

bool WritePrivateProfileString(const std::string* section, const std::string* key,
                               const std::string* value, const std::string& fileName) {
    if (section == nullptr) {
        return true; // writes go straight to the file: there is no cached copy to flush
    }
    // A write that changes nothing (removing what is not there, storing the same value) takes
    // no lock and touches nothing; one that would be refused is refused at once.
    const FileEdit first = Edited(ReadProfileFile(fileName), *section, key, value);
    if (first.outcome != FileEdit::Outcome::Changed) {
        return first.outcome == FileEdit::Outcome::Unchanged;
    }
    return RewriteProfileFile(
        fileName, [&](const std::string& file) { return Edited(file, *section, key, value); });
}

std::string UserConfigFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return CleanPath(configHome);
    }
    const std::string home = HomeFolder();
    return (home == "/" ? "" : home) + "/.config";
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    for (std::size_t at = folder.find('/', 1); at != std::string::npos;
         at = folder.find('/', at + 1)) {
        ::mkdir(folder.substr(0, at).c_str(), 0700);
    }
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace platform
