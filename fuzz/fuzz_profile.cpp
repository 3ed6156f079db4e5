// The profile reader and writer on arbitrary file bytes, in memory. Input: three short names
// (section, key, value) from a small alphabet, an operation byte (set, remove key, remove
// section), then the file's bytes in the encoding they show. Aborts when a read cut to a buffer
// overflows it or splits a pair, a value stored does not read back, an edit changes any other
// key or the section list, or an edit is lost when written back in the file's encoding.
#include "platform/ProfileText.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <tuple>

using namespace platform;

namespace {
void Check(bool ok, const char* what, const QString& section, const QString& key) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_profile: %s ([%s] %s)\n", what, qUtf8Printable(section),
                     qUtf8Printable(key));
        std::abort();
    }
}

QStringView Trimmed(QStringView name) { // the reader drops blanks only, not other spaces
    while (!name.isEmpty() && (name.front() == u' ' || name.front() == u'\t')) {
        name = name.sliced(1);
    }
    while (!name.isEmpty() && (name.back() == u' ' || name.back() == u'\t')) {
        name.chop(1);
    }
    return name;
}

bool Same(const QString& a, const QString& b) {
    return Trimmed(a).compare(Trimmed(b), Qt::CaseInsensitive) == 0;
}

// A name a writer can put in a file and find again.
bool Writable(const QString& name, QStringView inside, QStringView first) {
    return !name.isEmpty() && Trimmed(name).size() == name.size() &&
           std::none_of(name.begin(), name.end(), [&](QChar c) { return inside.contains(c); }) &&
           !first.contains(name.front());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    const auto byte = [&] { return at < size ? data[at++] : 0; };
    const auto name = [&] {
        static const char32_t kAlphabet[] = {U'a',  U'B',  U'c',      U'M',         U'm', U'1',
                                             U' ',  U'\t', U'=',      U'[',         U']', U'"',
                                             U'\'', U';',  U'\u00E9', U'\U0001F600'};
        QString name;
        for (int length = byte() % 13; length > 0; --length) {
            name += QString::fromUcs4(&kAlphabet[byte() % 16], 1);
        }
        return name;
    };
    const QString section = name(), key = name(), value = name();
    const int operation = byte() % 3;
    const QByteArrayView file(reinterpret_cast<const char*>(data + at), qsizetype(size - at));
    const ProfileEncoding encoding = ProfileEncodingOf(file);
    const QByteArray text = ProfileTextOf(file, encoding);

    const QStringList sections = ProfileSectionNames(text);
    (void)ProfileKeyNames(text, section);
    for (const int buffer : {0, 1, 2, 5, 1024}) {
        const QString cut = CutToBuffer(ProfileValue(text, section, key).value_or(""), buffer);
        const QString list = NameListForBuffer(sections, buffer);
        Check(QStringView(cut).toUcs4().size() <= qMax(buffer - 1, 0) &&
                  (cut.isEmpty() || !cut.back().isHighSurrogate()) &&
                  (buffer == 0 || QStringView(list).toUcs4().size() <= buffer - 1),
              "a read longer than its buffer, or cut inside a pair", section, key);
    }
    QList<std::tuple<QString, QString, std::optional<QString>>> entries;
    QSet<QString> seen; // a later section of the same name is never read
    for (const QString& s : sections) {
        for (const QString& k : seen.contains(s.toCaseFolded())
                                    ? QStringList()
                                    : ProfileKeyNames(text, s).value_or(QStringList())) {
            entries.size() < 200 ? entries.append({s, k, ProfileValue(text, s, k)}) : void();
        }
        seen.insert(s.toCaseFolded());
    }

    QByteArray edited;
    if (operation == 0) {
        const bool quoted = value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') &&
                            value.front() == value.back();
        if (!Writable(section, u"]", u"") || !Writable(key, u"=", u"[;#") ||
            !Writable(value, u"", u"") || quoted ||
            !ProfileEncodingHolds(section + key + value, encoding)) {
            return 0;
        }
        edited = SetProfileValue(text, section, key, value, encoding);
        Check(ProfileValue(edited, section, key) == value, "stored value lost", section, key);
    } else {
        edited = operation == 1 ? RemoveProfileKey(text, section, key)
                                : RemoveProfileSection(text, section);
    }
    QStringList expected = sections;
    const auto same = std::find_if(sections.begin(), sections.end(),
                                   [&](const QString& s) { return Same(s, section); });
    operation == 0 && same == sections.end()   ? expected.append(section)
    : operation == 2 && same != sections.end() ? expected.removeAt(same - sections.begin())
                                               : void();
    Check(ProfileSectionNames(edited) == expected, "section list changed", section, key);
    for (const auto& [s, k, v] : entries) {
        Check((Same(s, section) && (operation == 2 || Same(k, key))) ||
                  ProfileValue(edited, s, k) == v,
              "another key changed", s, k);
    }
    Check(ProfileFileOf(text, encoding) != file ||
              ProfileTextOf(ProfileFileOf(edited, encoding), encoding) == edited,
          "the edit changed when written back in the file's encoding", section, key);
    return 0;
}
