#include "platform/profile/Profile.h"

#include "platform/profile/ProfileFile.h"
#include "platform/profile/ProfileText.h"

#include <QDir>

namespace platform {

namespace {

QString WithoutTrailingBlanks(const QString& text) {
    qsizetype length = text.size();
    while (length > 0 && (text[length - 1] == u' ' || text[length - 1] == u'\t')) {
        --length;
    }
    return text.first(length);
}

// The text of a file's bytes, in the form the format functions read.
QByteArray TextOf(const QByteArray& file) {
    return ProfileTextOf(file, ProfileEncodingOf(file));
}

// What a write makes of the file's bytes. The file is edited as text and written back in its
// own encoding; a file that would not come back byte for byte, or new text that its encoding
// cannot hold, is refused rather than damaged.
FileEdit Edited(const QByteArray& file, const QString& section, const QString* key,
                const QString* value) {
    const ProfileEncoding encoding = ProfileEncodingOf(file);
    const QByteArray text = ProfileTextOf(file, encoding);
    QByteArray edited;
    if (key == nullptr) {
        edited = RemoveProfileSection(text, section);
    } else if (value == nullptr) {
        edited = RemoveProfileKey(text, section, *key);
    } else {
        const QStringView newText[] = {section, *key, *value};
        for (const QStringView part : newText) {
            if (!ProfileEncodingHolds(part, encoding)) {
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

} // namespace

int GetPrivateProfileString(const QString* section, const QString* key, const QString& defaultValue,
                            QString& returned, int size, const QString& fileName) {
    const QByteArray text = TextOf(ReadProfileFile(fileName));
    if (section == nullptr) {
        returned = NameListForBuffer(ProfileSectionNames(text), size);
    } else if (key == nullptr) {
        returned = NameListForBuffer(ProfileKeyNames(text, *section).value_or(QStringList()), size);
    } else {
        const std::optional<QString> value = ProfileValue(text, *section, *key);
        returned = CutToBuffer(value ? *value : WithoutTrailingBlanks(defaultValue), size);
    }
    return static_cast<int>(returned.size());
}

bool WritePrivateProfileString(const QString* section, const QString* key, const QString* value,
                               const QString& fileName) {
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
        fileName, [&](const QByteArray& file) { return Edited(file, *section, key, value); });
}

QString UserConfigFolder() {
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configHome)) {
        return QDir::cleanPath(configHome);
    }
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace platform
