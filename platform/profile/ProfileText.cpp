#include "platform/profile/ProfileText.h"

#include <cstring>
#include <optional>

namespace platform {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LEBom[] = "\xFF\xFE";
constexpr char kUtf16BEBom[] = "\xFE\xFF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The view without the blanks at either end.
template <typename View> View TrimBlanks(View s) {
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && IsBlank(s[from])) {
        ++from;
    }
    while (to > from && IsBlank(s[to - 1])) {
        --to;
    }
    return s.sliced(from, to - from);
}

// Where the first `byte` of the view lies, or -1. An empty view may have no data at all, which
// memchr must not be given.
qsizetype IndexOf(QByteArrayView view, char byte) {
    if (view.isEmpty()) {
        return -1;
    }
    const void* at = std::memchr(view.data(), byte, static_cast<size_t>(view.size()));
    return at != nullptr ? static_cast<const char*>(at) - view.data() : -1;
}

enum class LineKind { Other, Section, Entry };

// One line of the text, as offsets into it.
struct Line {
    qsizetype begin = 0;      // first byte
    qsizetype contentEnd = 0; // before the line end (LF or CR LF)
    qsizetype end = 0;        // after the line end
    LineKind kind = LineKind::Other;
    QByteArrayView name;   // section name or key, blanks dropped
    qsizetype nameEnd = 0; // entries: after the last character of the key
    QByteArrayView value;  // entries: after "=", blanks dropped
};

void Classify(QByteArrayView text, Line& line) {
    const QByteArrayView content = text.sliced(line.begin, line.contentEnd - line.begin);
    const QByteArrayView trimmed = TrimBlanks(content);
    line.kind = LineKind::Other;
    if (trimmed.isEmpty() || trimmed[0] == ';' || trimmed[0] == '#') {
        return;
    }
    if (trimmed[0] == '[') {
        const QByteArrayView rest = trimmed.sliced(1);
        const qsizetype close = IndexOf(rest, ']');
        const qsizetype length = close >= 0 ? close : rest.size();
        line.kind = LineKind::Section;
        line.name = TrimBlanks(rest.first(length));
        return;
    }
    const qsizetype at = IndexOf(content, '=');
    if (at < 0) {
        return;
    }
    line.kind = LineKind::Entry;
    line.name = TrimBlanks(content.first(at));
    line.nameEnd =
        line.name.isEmpty() ? line.begin : (line.name.data() - text.data()) + line.name.size();
    line.value = TrimBlanks(content.sliced(at + 1));
}

// Walks the lines of a text in order, in linear time. A UTF-8 byte order mark at the start
// is skipped (and kept on writing).
class LineReader {
public:
    explicit LineReader(QByteArrayView text) : text_(text) {
        if (text.startsWith(kUtf8Bom)) {
            pos_ = 3;
        }
    }

    bool Next(Line& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        line.begin = pos_;
        const qsizetype lf = IndexOf(text_.sliced(pos_), '\n');
        line.end = lf >= 0 ? pos_ + lf + 1 : text_.size();
        line.contentEnd = lf >= 0 ? line.end - 1 : line.end;
        if (line.contentEnd > line.begin && text_[line.contentEnd - 1] == '\r') {
            --line.contentEnd;
        }
        Classify(text_, line);
        pos_ = line.end;
        return true;
    }

private:
    QByteArrayView text_;
    qsizetype pos_ = 0;
};

bool NameMatches(QByteArrayView stored, QStringView wanted) {
    if (stored.size() < wanted.size()) { // a character takes at least one byte
        return false;
    }
    return DecodeProfileBytes(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

// Where the first section of a name lies, and its first entry of a key.
struct Located {
    bool sectionFound = false;
    Line header;
    qsizetype sectionEnd = 0;   // start of the next section, or the end of the text
    qsizetype lastEntryEnd = 0; // end of the section's last entry, or of its header
    std::optional<Line> entry;
    QStringList keyNames;
};

Located Locate(QByteArrayView text, QStringView section, QStringView key, bool wantKey,
               bool wantNames) {
    Located found;
    const QStringView wantedSection = TrimBlanks(section);
    const QStringView wantedKey = TrimBlanks(key);
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
        if (!found.sectionFound) {
            if (line.kind == LineKind::Section && NameMatches(line.name, wantedSection)) {
                found.sectionFound = true;
                found.header = line;
                found.lastEntryEnd = line.end;
                found.sectionEnd = text.size();
            }
            continue;
        }
        if (line.kind == LineKind::Section) {
            found.sectionEnd = line.begin;
            break;
        }
        if (line.kind != LineKind::Entry) {
            continue;
        }
        found.lastEntryEnd = line.end;
        if (wantNames) {
            found.keyNames << DecodeProfileBytes(line.name);
        }
        if (wantKey && !found.entry && NameMatches(line.name, wantedKey)) {
            found.entry = line;
        }
    }
    return found;
}

QByteArray LineEndOf(QByteArrayView text) {
    const qsizetype at = IndexOf(text, '\n');
    if (at < 0) {
        return "\n";
    }
    return at > 0 && text[at - 1] == '\r' ? "\r\n" : "\n";
}

QByteArray Without(QByteArrayView text, qsizetype from, qsizetype to) {
    QByteArray out;
    out.reserve(text.size() - (to - from));
    out.append(text.first(from));
    out.append(text.sliced(to));
    return out;
}

bool IsUtf16(ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Utf16LE || encoding == ProfileEncoding::Utf16BE;
}

// New text in the bytes of a file's text; a character Windows-1252 lacks becomes "?", which
// ProfileEncodingHolds tells apart.
QByteArray NewText(QStringView text, ProfileEncoding encoding) {
    if (encoding != ProfileEncoding::Windows1252) {
        return text.toUtf8();
    }
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        bytes += Windows1252Byte(c.unicode()).value_or('?');
    }
    return bytes;
}

} // namespace

ProfileEncoding ProfileEncodingOf(QByteArrayView file) {
    if (file.startsWith(kUtf16LEBom)) {
        return ProfileEncoding::Utf16LE;
    }
    if (file.startsWith(kUtf16BEBom)) {
        return ProfileEncoding::Utf16BE;
    }
    if (file.startsWith(kUtf8Bom) || ValidUtf8(file)) {
        return ProfileEncoding::Utf8;
    }
    return ProfileEncoding::Windows1252;
}

QByteArray ProfileTextOf(QByteArrayView file, ProfileEncoding encoding) {
    if (!IsUtf16(encoding)) {
        return file.toByteArray();
    }
    const bool little = encoding == ProfileEncoding::Utf16LE;
    QString text(file.size() / 2 - 1, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(file[2 + 2 * i]);
        const auto second = static_cast<unsigned char>(file[3 + 2 * i]);
        text[i] = QChar(little ? char16_t(first | second << 8) : char16_t(first << 8 | second));
    }
    return text.toUtf8();
}

QByteArray ProfileFileOf(QByteArrayView text, ProfileEncoding encoding) {
    if (!IsUtf16(encoding)) {
        return text.toByteArray();
    }
    const bool little = encoding == ProfileEncoding::Utf16LE;
    const QString units = QString::fromUtf8(text);
    QByteArray file(little ? kUtf16LEBom : kUtf16BEBom);
    file.reserve(2 + 2 * units.size());
    for (const QChar c : units) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        file += little ? low : high;
        file += little ? high : low;
    }
    return file;
}

bool ProfileEncodingHolds(QStringView text, ProfileEncoding encoding) {
    return DecodeProfileBytes(NewText(text, encoding)) == text;
}

std::optional<QString> ProfileValue(QByteArrayView text, QStringView section, QStringView key) {
    const Located found = Locate(text, section, key, true, false);
    if (!found.entry) {
        return std::nullopt;
    }
    QString value = DecodeProfileBytes(found.entry->value);
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == u'"' || value.front() == u'\'')) {
        value = value.sliced(1, value.size() - 2);
    }
    return value;
}

std::optional<QStringList> ProfileKeyNames(QByteArrayView text, QStringView section) {
    Located found = Locate(text, section, {}, false, true);
    if (!found.sectionFound) {
        return std::nullopt;
    }
    return std::move(found.keyNames);
}

QStringList ProfileSectionNames(QByteArrayView text) {
    QStringList names;
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
        if (line.kind == LineKind::Section) {
            names << DecodeProfileBytes(line.name);
        }
    }
    return names;
}

QByteArray SetProfileValue(QByteArrayView text, QStringView section, QStringView key,
                           QStringView value, ProfileEncoding encoding) {
    const Located found = Locate(text, section, key, true, false);
    const QByteArray lineEnd = LineEndOf(text);
    const QByteArray encodedValue = NewText(value, encoding);
    const QByteArray entry = NewText(TrimBlanks(key), encoding) + '=' + encodedValue;
    QByteArray out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    if (found.entry) {
        const Line& line = *found.entry;
        out.append(text.first(line.nameEnd));
        out.append('=');
        out.append(encodedValue);
        out.append(text.sliced(line.contentEnd));
        return out;
    }
    const qsizetype at = found.sectionFound ? found.lastEntryEnd : text.size();
    out.append(text.first(at));
    if (at > 0 && text[at - 1] != '\n') {
        // The last line had no line end. A CR that ends it was read as part of a CR LF line end
        // cut short: complete that one, so that the line reads the same afterwards.
        out.append(text[at - 1] == '\r' ? QByteArray("\n") : lineEnd);
    }
    if (!found.sectionFound) {
        out.append('[' + NewText(TrimBlanks(section), encoding) + ']' + lineEnd);
    }
    out.append(entry + lineEnd);
    out.append(text.sliced(at));
    return out;
}

QByteArray RemoveProfileKey(QByteArrayView text, QStringView section, QStringView key) {
    const Located found = Locate(text, section, key, true, false);
    if (!found.entry) {
        return text.toByteArray();
    }
    return Without(text, found.entry->begin, found.entry->end);
}

QByteArray RemoveProfileSection(QByteArrayView text, QStringView section) {
    const Located found = Locate(text, section, {}, false, false);
    if (!found.sectionFound) {
        return text.toByteArray();
    }
    return Without(text, found.header.begin, found.sectionEnd);
}

QString CutToBuffer(const QString& value, int size) {
    if (size <= 0) {
        return {};
    }
    qsizetype units = 0;
    for (int characters = 0; units < value.size() && characters < size - 1; ++characters) {
        const bool pair = value[units].isHighSurrogate() && units + 1 < value.size() &&
                          value[units + 1].isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return value.first(units);
}

QString NameListForBuffer(const QStringList& names, int size) {
    QString list;
    for (const QString& name : names) {
        list += name;
        list += QChar(0);
    }
    if (CutToBuffer(list, size).size() == list.size()) {
        return list;
    }
    // The buffer's last two characters hold the NULs that end the cut name and the list.
    return CutToBuffer(list, size - 1);
}

} // namespace platform
