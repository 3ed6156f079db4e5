// The profile reader and writer on arbitrary file bytes, in memory.
//
// Input: three short names (section, key, value) and an operation byte, then the file's bytes,
// taken in the encoding they show (UTF-8, Windows-1252, UTF-16 after a byte order mark). Names
// come from a small alphabet that often meets names of the file. Checks:
// - every read answers, and a value or name list cut to a buffer fits it and never ends in
//   half of a surrogate pair;
// - a stored value reads back exactly, when the format can hold it (no line end, no blank or
//   enclosing quotes at its ends) under a key and section that can be written;
// - a write or a removal keeps the rest: every other key reads as before, and the section list
//   is unchanged (a new section is added at the end, a removed one goes);
// - a file that converts back to itself keeps its edits when written back in its encoding.
#include "platform/ProfileText.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace platform;

namespace {
constexpr int kMaxChecks = 200;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    QString Name() {
        static const char32_t kAlphabet[] = {U'a',  U'B',  U'c',      U'M',         U'm', U'1',
                                             U' ',  U'\t', U'=',      U'[',         U']', U'"',
                                             U'\'', U';',  U'\u00E9', U'\U0001F600'};
        QString name;
        for (int length = Byte() % 13; length > 0; --length) {
            name += QString::fromUcs4(&kAlphabet[Byte() % 16], 1);
        }
        return name;
    }
};

void Check(bool ok, const char* what, const QString& section, const QString& key) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_profile: %s (section \"%s\", key \"%s\")\n", what,
                     section.toUtf8().constData(), key.toUtf8().constData());
        std::abort();
    }
}

bool Blank(QChar c) {
    return c == u' ' || c == u'\t';
}

// A name a writer can put in a file and find again: not empty, no blank at its ends, none of
// the characters that would end it, nor one of those that would start something else.
bool Writable(const QString& name, const char16_t* inside, const char16_t* first) {
    return !name.isEmpty() && !Blank(name.front()) && !Blank(name.back()) &&
           std::none_of(name.begin(), name.end(),
                        [&](QChar c) { return QStringView(inside).contains(c); }) &&
           !QStringView(first).contains(name.front());
}

struct Entry {
    QString section, key;
    std::optional<QString> value;
};

// Every (section, key) that reads from the text, with its value, up to kMaxChecks of them.
QList<Entry> Entries(QByteArrayView text) {
    QList<Entry> entries;
    QSet<QString> seen;
    for (const QString& section : ProfileSectionNames(text)) {
        if (!seen.contains(section.toCaseFolded())) { // a later one of the same name is never read
            seen.insert(section.toCaseFolded());
            for (const QString& key : ProfileKeyNames(text, section).value_or(QStringList())) {
                if (entries.size() < kMaxChecks) {
                    entries.append({section, key, ProfileValue(text, section, key)});
                }
            }
        }
    }
    return entries;
}

// Names match as the reader matches them: blanks at the ends dropped, case ignored.
bool SameName(const QString& a, const QString& b) {
    const auto trimmed = [](QStringView name) {
        while (!name.isEmpty() && Blank(name.front())) {
            name = name.sliced(1);
        }
        while (!name.isEmpty() && Blank(name.back())) {
            name.chop(1);
        }
        return name;
    };
    return trimmed(a).compare(trimmed(b), Qt::CaseInsensitive) == 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    const QString section = in.Name(), key = in.Name(), value = in.Name();
    const int operation = in.Byte() % 3;
    const QByteArrayView file(reinterpret_cast<const char*>(data + in.at),
                              static_cast<qsizetype>(size - in.at));
    const ProfileEncoding encoding = ProfileEncodingOf(file);
    const QByteArray text = ProfileTextOf(file, encoding);

    const QStringList sections = ProfileSectionNames(text);
    (void)ProfileKeyNames(text, section);
    const std::optional<QString> before = ProfileValue(text, section, key);
    for (const int buffer : {0, 1, 2, 5, 1024}) {
        const QString cut = CutToBuffer(before.value_or(QString()), buffer);
        Check(QStringView(cut).toUcs4().size() <= qMax(buffer - 1, 0) &&
                  (cut.isEmpty() || !cut.back().isHighSurrogate()),
              "value longer than its buffer, or cut inside a pair", section, key);
        const QString list = NameListForBuffer(sections, buffer);
        Check(buffer == 0 || QStringView(list).toUcs4().size() <= buffer - 1,
              "name list longer than its buffer", section, key);
    }

    const QList<Entry> entries = Entries(text);
    QByteArray edited;
    if (operation == 0) {
        const bool quoted = value.size() >= 2 &&
                            (value.front() == u'"' || value.front() == u'\'') &&
                            value.front() == value.back();
        if (!Writable(section, u"]", u"") || !Writable(key, u"=", u"[;#") ||
            !Writable(value, u"", u"") || quoted ||
            !ProfileEncodingHolds(section + key + value, encoding)) {
            return 0;
        }
        edited = SetProfileValue(text, section, key, value, encoding);
        Check(ProfileValue(edited, section, key) == value, "stored value does not read back",
              section, key);
    } else {
        edited = operation == 1 ? RemoveProfileKey(text, section, key)
                                : RemoveProfileSection(text, section);
    }

    QStringList expectedSections = sections;
    const auto same = std::find_if(sections.begin(), sections.end(),
                                   [&](const QString& name) { return SameName(name, section); });
    if (operation == 0 && same == sections.end()) {
        expectedSections << section;
    } else if (operation == 2 && same != sections.end()) {
        expectedSections.removeAt(same - sections.begin());
    }
    Check(ProfileSectionNames(edited) == expectedSections, "section list changed", section, key);
    for (const Entry& entry : entries) {
        if (!SameName(entry.section, section) || (operation != 2 && !SameName(entry.key, key))) {
            Check(ProfileValue(edited, entry.section, entry.key) == entry.value,
                  "another key changed", entry.section, entry.key);
        }
    }
    Check(ProfileFileOf(text, encoding) != file ||
              ProfileTextOf(ProfileFileOf(edited, encoding), encoding) == edited,
          "the edit changed when written back in the file's encoding", section, key);
    return 0;
}
