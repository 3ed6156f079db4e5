// The profile reader and writer on arbitrary file bytes, in memory. Input: three short names
// (section, key, value) from a small alphabet, an operation byte (set, remove key, remove
// section), then the file's bytes in the encoding they show. Aborts when a value stored does not
// read back, an edit changes another key or the section list, or is lost when written back.
#include "platform/profile/ProfileBytes.h"
#include "platform/profile/ProfileText.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace platform;

// The profile functions take and give UTF-8 std::string; the reference works on QString.
static std::string S(const QString& text) {
    return text.toStdString();
}
static QString Q(const std::string& text) {
    QString out; // fromUtf8 and fromUcs4 would drop a leading byte order mark
    for (const char32_t c : CodePointsOf(text)) {
        c > 0xFFFF
            ? out.append(QChar(QChar::highSurrogate(c))).append(QChar(QChar::lowSurrogate(c)))
            : out.append(QChar(char16_t(c)));
    }
    return out;
}
static QStringList Q(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list << Q(text);
    }
    return list;
}
static std::optional<QString> Q(const std::optional<std::string>& text) {
    return text ? std::optional<QString>(Q(*text)) : std::nullopt;
}

static void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_profile: %s\n", what);
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    const auto byte = [&] { return at < size ? data[at++] : 0; };
    const auto name = [&] {
        static const char32_t kAlphabet[] = U"aBcMm1 \t=[]\"';\u00E9\U0001F600";
        QString name;
        for (int length = byte() % 13; length > 0; --length) {
            name += QString::fromUcs4(&kAlphabet[byte() % 16], 1);
        }
        return name;
    };
    const auto same = [](const QString& a, const QString& b) { // as the reader matches names
        static const QRegularExpression blanks("^[ \t]+|[ \t]+$");
        return QString(a).remove(blanks).compare(QString(b).remove(blanks), Qt::CaseInsensitive) ==
               0;
    };
    const QString section = name(), key = name(), value = name();
    const int operation = byte() % 3;
    const std::string_view file(reinterpret_cast<const char*>(data + at), size - at);
    const ProfileEncoding encoding = ProfileEncodingOf(file);
    const std::string text = ProfileTextOf(file, encoding);
    const QStringList sections = Q(ProfileSectionNames(text));
    QList<std::tuple<QString, QString, std::optional<QString>>> entries;
    QSet<QString> seen; // a later section of the same name is never read
    for (const QString& s : sections) {
        for (const QString& k :
             seen.contains(s.toCaseFolded())
                 ? QStringList()
                 : Q(ProfileKeyNames(text, S(s)).value_or(std::vector<std::string>()))) {
            entries.size() < 200 ? entries.append({s, k, Q(ProfileValue(text, S(s), S(k)))})
                                 : void();
        }
        seen.insert(s.toCaseFolded());
    }

    std::string edited = operation == 1 ? RemoveProfileKey(text, S(section), S(key))
                                        : RemoveProfileSection(text, S(section));
    if (operation == 0) { // names and values the format can hold, found again as written
        if (!QRegularExpression("^[^\\s\\]](?:[^\\]]*[^\\s\\]])?$").match(section).hasMatch() ||
            !QRegularExpression("^[^\\s=\\[;#](?:[^=]*[^\\s=])?$").match(key).hasMatch() ||
            !QRegularExpression("^(?!([\"']).*\\1$)\\S(?:.*\\S)?$").match(value).hasMatch() ||
            !ProfileEncodingHolds(S(section + key + value), encoding)) {
            return 0;
        }
        edited = SetProfileValue(text, S(section), S(key), S(value), encoding);
        Check(Q(ProfileValue(edited, S(section), S(key))) == value, "stored value lost");
    }
    QStringList expected = sections;
    const qsizetype found = std::find_if(sections.begin(), sections.end(),
                                         [&](const QString& s) { return same(s, section); }) -
                            sections.begin();
    operation == 0 && found == sections.size()  ? expected.append(section)
    : operation == 2 && found < sections.size() ? expected.removeAt(found)
                                                : void();
    Check(Q(ProfileSectionNames(edited)) == expected, "section list changed");
    for (const auto& [s, k, v] : entries) {
        Check((same(s, section) && (operation == 2 || same(k, key))) ||
                  Q(ProfileValue(edited, S(s), S(k))) == v,
              "another key changed");
    }
    Check(ProfileFileOf(text, encoding) != file ||
              ProfileTextOf(ProfileFileOf(edited, encoding), encoding) == edited,
          "the edit changed when written back in the file's encoding");
    return 0;
}
