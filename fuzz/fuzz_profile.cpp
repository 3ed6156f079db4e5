// The profile reader and writer on arbitrary file bytes, in memory.
//
// Input: three short names (section, key, value) and an operation byte, then the file's bytes,
// taken in the encoding they show (UTF-8, Windows-1252, UTF-16 after a byte order mark).
// Names are drawn from a small alphabet so that they often meet names of the file (letters in
// both cases, digits, blanks, "=", brackets, quotes, a letter with an accent, a character
// outside the BMP). Checks:
// - every read of the file answers without failing;
// - a stored value reads back exactly, when it is one the format can hold (no line end, no
//   blank or quote at its ends) under a key and section that can be written;
// - a write or a removal keeps the rest: every other key of every section reads as before,
//   and the section list is unchanged (a new section is added at the end, a removed one goes);
// - a file that converts back to itself keeps its edits when written back in its encoding.
#include "platform/ProfileText.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace platform;

namespace {

constexpr int kMaxNameLength = 12;
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
        const int length = Byte() % (kMaxNameLength + 1);
        QString name;
        for (int i = 0; i < length; ++i) {
            name += QString::fromUcs4(&kAlphabet[Byte() % 16], 1);
        }
        return name;
    }
};

[[noreturn]] void Fail(const char* what, const QString& section, const QString& key,
                       const QString& value) {
    std::fprintf(stderr, "fuzz_profile: %s (section \"%s\", key \"%s\", value \"%s\")\n", what,
                 section.toUtf8().constData(), key.toUtf8().constData(),
                 value.toUtf8().constData());
    std::abort();
}

bool Blank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool Quote(QChar c) {
    return c == u'"' || c == u'\'';
}

// A name that a writer can put in a file and find again: not empty, no blank at its ends.
bool Writable(const QString& name) {
    return !name.isEmpty() && !Blank(name.front()) && !Blank(name.back());
}

bool WritableSection(const QString& section) {
    return Writable(section) && !section.contains(u']');
}

bool WritableKey(const QString& key) {
    return Writable(key) && !key.contains(u'=') && key.front() != u'[' && key.front() != u';' &&
           key.front() != u'#';
}

bool RepresentableValue(const QString& value) {
    if (value.isEmpty()) {
        return true;
    }
    return !Blank(value.front()) && !Blank(value.back()) &&
           !(value.size() >= 2 && Quote(value.front()) && value.front() == value.back());
}

// Every (section, key) that reads from the text, with its value, up to kMaxChecks of them.
struct Entry {
    QString section;
    QString key;
    std::optional<QString> value;
};

QList<Entry> Entries(QByteArrayView text) {
    QList<Entry> entries;
    QSet<QString> seen;
    for (const QString& section : ProfileSectionNames(text)) {
        if (seen.contains(section.toCaseFolded())) {
            continue; // a later section of the same name is never read
        }
        seen.insert(section.toCaseFolded());
        for (const QString& key : ProfileKeyNames(text, section).value_or(QStringList())) {
            if (entries.size() >= kMaxChecks) {
                return entries;
            }
            entries.append({section, key, ProfileValue(text, section, key)});
        }
    }
    return entries;
}

QStringView WithoutBlanks(QStringView name) {
    while (!name.isEmpty() && Blank(name.front())) {
        name = name.sliced(1);
    }
    while (!name.isEmpty() && Blank(name.back())) {
        name.chop(1);
    }
    return name;
}

// Names match as the reader matches them: blanks at the ends dropped, case ignored.
bool SameName(const QString& a, const QString& b) {
    return WithoutBlanks(a).compare(WithoutBlanks(b), Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    const QString section = in.Name();
    const QString key = in.Name();
    const QString value = in.Name();
    const int operation = in.Byte() % 3;
    const QByteArrayView file(reinterpret_cast<const char*>(data + in.at),
                              static_cast<qsizetype>(size - in.at));
    const ProfileEncoding encoding = ProfileEncodingOf(file);
    const QByteArray text = ProfileTextOf(file, encoding);

    // Reads of every kind.
    const QStringList sections = ProfileSectionNames(text);
    (void)ProfileKeyNames(text, section);
    const std::optional<QString> before = ProfileValue(text, section, key);
    for (const int bufferSize : {0, 1, 2, 5, 1024}) {
        if (before && QStringView(CutToBuffer(*before, bufferSize)).toUcs4().size() >
                          qMax(bufferSize - 1, 0)) {
            Fail("value longer than its buffer", section, key, value);
        }
        const QString list = NameListForBuffer(sections, bufferSize);
        if (bufferSize > 0 && QStringView(list).toUcs4().size() > bufferSize - 1) {
            Fail("name list longer than its buffer", section, key, value);
        }
    }

    const QList<Entry> entries = Entries(text);
    QByteArray edited;
    if (operation == 0) {
        if (!WritableSection(section) || !WritableKey(key) || !RepresentableValue(value) ||
            value.isEmpty() || !ProfileEncodingHolds(section, encoding) ||
            !ProfileEncodingHolds(key, encoding) || !ProfileEncodingHolds(value, encoding)) {
            return 0;
        }
        edited = SetProfileValue(text, section, key, value, encoding);
        if (ProfileValue(edited, section, key) != value) {
            Fail("stored value does not read back", section, key, value);
        }
    } else if (operation == 1) {
        edited = RemoveProfileKey(text, section, key);
    } else {
        edited = RemoveProfileSection(text, section);
    }

    // The rest of the file is kept.
    const QStringList sectionsAfter = ProfileSectionNames(edited);
    const bool sectionWas = std::any_of(sections.begin(), sections.end(), [&](const QString& name) {
        return SameName(name, section);
    });
    QStringList expectedSections = sections;
    if (operation == 0 && !sectionWas) {
        expectedSections << section;
    } else if (operation == 2 && sectionWas) {
        for (qsizetype i = 0; i < expectedSections.size(); ++i) {
            if (SameName(expectedSections[i], section)) {
                expectedSections.removeAt(i);
                break;
            }
        }
    }
    if (sectionsAfter != expectedSections) {
        Fail("section list changed", section, key, value);
    }
    for (const Entry& entry : entries) {
        if (!SameName(entry.section, section)) {
            if (ProfileValue(edited, entry.section, entry.key) != entry.value) {
                Fail("a key of another section changed", entry.section, entry.key, value);
            }
        } else if (operation != 2 && !SameName(entry.key, key)) {
            if (ProfileValue(edited, entry.section, entry.key) != entry.value) {
                Fail("another key of the section changed", entry.section, entry.key, value);
            }
        }
    }
    if (ProfileFileOf(text, encoding) == file &&
        ProfileTextOf(ProfileFileOf(edited, encoding), encoding) != edited) {
        Fail("the edit changed when written back in the file's encoding", section, key, value);
    }
    return 0;
}
