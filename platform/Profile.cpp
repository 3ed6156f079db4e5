#include "platform/Profile.h"

#include "platform/ProfileFile.h"
#include "platform/ProfileText.h"

namespace platform {

namespace {

QString WithoutTrailingBlanks(const QString& text) {
    qsizetype length = text.size();
    while (length > 0 && (text[length - 1] == u' ' || text[length - 1] == u'\t')) {
        --length;
    }
    return text.first(length);
}

// What a write makes of the file's text, or nothing when the text stays as it is.
std::optional<QByteArray> Edited(const QByteArray& text, const QString& section, const QString* key,
                                 const QString* value) {
    QByteArray edited;
    if (key == nullptr) {
        edited = RemoveProfileSection(text, section);
    } else if (value == nullptr) {
        edited = RemoveProfileKey(text, section, *key);
    } else {
        edited = SetProfileValue(text, section, *key, *value);
    }
    if (edited == text) {
        return std::nullopt;
    }
    return edited;
}

} // namespace

int GetPrivateProfileString(const QString* section, const QString* key, const QString& defaultValue,
                            QString& returned, int size, const QString& fileName) {
    const QByteArray text = ReadProfileFile(fileName);
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
    // no lock and touches nothing.
    if (!Edited(ReadProfileFile(fileName), *section, key, value)) {
        return true;
    }
    return RewriteProfileFile(
        fileName, [&](const QByteArray& text) { return Edited(text, *section, key, value); });
}

} // namespace platform
