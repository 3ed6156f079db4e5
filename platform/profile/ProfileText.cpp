#include "platform/profile/ProfileText.h"

#include "platform/StatusText.h"
#include "platform/TextCase.h"
#include "platform/profile/ProfileBytes.h"

namespace platform {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The view without the blanks at either end.
std::string_view TrimBlanks(std::string_view s) {
    std::size_t from = 0;
    std::size_t to = s.size();
    while (from < to && IsBlank(s[from])) {
        ++from;
    }
    while (to > from && IsBlank(s[to - 1])) {
        --to;
    }
    return s.substr(from, to - from);
}

enum class LineKind { Other, Section, Entry };

// One line of the text, as offsets into it.
struct Line {
    std::size_t begin = 0;      // first byte
    std::size_t contentEnd = 0; // before the line end (LF or CR LF)
    std::size_t end = 0;        // after the line end
    LineKind kind = LineKind::Other;
    std::string_view name;   // section name or key, blanks dropped
    std::size_t nameEnd = 0; // entries: after the last character of the key
    std::string_view value;  // entries: after "=", blanks dropped
};

void Classify(std::string_view text, Line& line) {
    const std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
    const std::string_view trimmed = TrimBlanks(content);
    line.kind = LineKind::Other;
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') {
        return;
    }
    if (trimmed[0] == '[') {
        const std::string_view rest = trimmed.substr(1);
        line.kind = LineKind::Section;
        line.name = TrimBlanks(rest.substr(0, rest.find(']')));
        return;
    }
    const std::size_t at = content.find('=');
    if (at == std::string_view::npos) {
        return;
    }
    line.kind = LineKind::Entry;
    line.name = TrimBlanks(content.substr(0, at));
    line.nameEnd = line.name.empty() ? line.begin
                                     : static_cast<std::size_t>(line.name.data() - text.data()) +
                                           line.name.size();
    line.value = TrimBlanks(content.substr(at + 1));
}

// Walks the lines of a text in order, in linear time. A UTF-8 byte order mark at the start
// is skipped (and kept on writing).
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {
        if (text.starts_with(kUtf8Bom)) {
            pos_ = kUtf8Bom.size();
        }
    }

    bool Next(Line& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        line.begin = pos_;
        const std::size_t lf = text_.find('\n', pos_);
        line.end = lf != std::string_view::npos ? lf + 1 : text_.size();
        line.contentEnd = lf != std::string_view::npos ? lf : line.end;
        if (line.contentEnd > line.begin && text_[line.contentEnd - 1] == '\r') {
            --line.contentEnd;
        }
        Classify(text_, line);
        pos_ = line.end;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool NameMatches(std::string_view stored, std::string_view wanted) {
    // A character takes one to four bytes here, and the case mappings keep the number of
    // characters: a name four times the other's length cannot match (nor cost a decoding).
    if (stored.size() > 4 * wanted.size() || wanted.size() > 4 * stored.size()) {
        return false;
    }
    return SameIgnoringCase(stored, wanted);
}

// Where the first section of a name lies, and its first entry of a key.
struct Located {
    bool sectionFound = false;
    Line header;
    std::size_t sectionEnd = 0;   // start of the next section, or the end of the text
    std::size_t lastEntryEnd = 0; // end of the section's last entry, or of its header
    std::optional<Line> entry;
    std::vector<std::string> keyNames;
};

Located Locate(std::string_view text, std::string_view section, std::string_view key, bool wantKey,
               bool wantNames) {
    Located found;
    const std::string_view wantedSection = TrimBlanks(section);
    const std::string_view wantedKey = TrimBlanks(key);
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
            found.keyNames.push_back(DecodeProfileBytes(line.name));
        }
        if (wantKey && !found.entry && NameMatches(line.name, wantedKey)) {
            found.entry = line;
        }
    }
    return found;
}

std::string_view LineEndOf(std::string_view text) {
    const std::size_t at = text.find('\n');
    if (at == std::string_view::npos) {
        return "\n";
    }
    return at > 0 && text[at - 1] == '\r' ? "\r\n" : "\n";
}

std::string Without(std::string_view text, std::size_t from, std::size_t to) {
    std::string out;
    out.reserve(text.size() - (to - from));
    out.append(text.substr(0, from));
    out.append(text.substr(to));
    return out;
}

bool IsUtf16(ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Utf16LE || encoding == ProfileEncoding::Utf16BE;
}

// New text in the bytes of a file's text; a character Windows-1252 lacks becomes "?", which
// ProfileEncodingHolds tells apart.
std::string NewText(std::string_view text, ProfileEncoding encoding) {
    if (encoding != ProfileEncoding::Windows1252) {
        return std::string(text);
    }
    std::string bytes;
    bytes.reserve(text.size());
    for (const char32_t c : CodePointsOf(text)) {
        bytes += Windows1252Byte(c).value_or('?');
    }
    return bytes;
}

// The UTF-16 code units of UTF-8 text.
std::u16string Utf16Units(std::string_view text) {
    std::u16string units;
    units.reserve(text.size());
    for (const char32_t c : CodePointsOf(text)) {
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return units;
}

} // namespace

ProfileEncoding ProfileEncodingOf(std::string_view file) {
    if (file.starts_with(kUtf16LEBom)) {
        return ProfileEncoding::Utf16LE;
    }
    if (file.starts_with(kUtf16BEBom)) {
        return ProfileEncoding::Utf16BE;
    }
    if (file.starts_with(kUtf8Bom) || ValidUtf8(file)) {
        return ProfileEncoding::Utf8;
    }
    return ProfileEncoding::Windows1252;
}

std::string ProfileTextOf(std::string_view file, ProfileEncoding encoding) {
    if (!IsUtf16(encoding)) {
        return std::string(file);
    }
    const bool little = encoding == ProfileEncoding::Utf16LE;
    const std::size_t count = file.size() / 2 - 1;
    const auto unit = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(file[2 + 2 * i]);
        const auto second = static_cast<unsigned char>(file[3 + 2 * i]);
        return little ? char16_t(first | second << 8) : char16_t(first << 8 | second);
    };
    std::string text;
    text.reserve(count * 3 / 2);
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < count && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) < 0xE000) {
            AppendUtf8(text, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u < 0xE000) {
            text += '?';
        } else {
            AppendUtf8(text, u);
        }
    }
    return text;
}

std::string ProfileFileOf(std::string_view text, ProfileEncoding encoding) {
    if (!IsUtf16(encoding)) {
        return std::string(text);
    }
    const bool little = encoding == ProfileEncoding::Utf16LE;
    const std::u16string units = Utf16Units(text);
    std::string file(little ? kUtf16LEBom : kUtf16BEBom);
    file.reserve(2 + 2 * units.size());
    for (const char16_t c : units) {
        const char high = static_cast<char>(c >> 8);
        const char low = static_cast<char>(c & 0xFF);
        file += little ? low : high;
        file += little ? high : low;
    }
    return file;
}

bool ProfileEncodingHolds(std::string_view text, ProfileEncoding encoding) {
    return ValidUtf8(text) && DecodeProfileBytes(NewText(text, encoding)) == text;
}

std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
    const Located found = Locate(text, section, key, true, false);
    if (!found.entry) {
        return std::nullopt;
    }
    std::string value = DecodeProfileBytes(found.entry->value);
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::vector<std::string>> ProfileKeyNames(std::string_view text,
                                                        std::string_view section) {
    Located found = Locate(text, section, {}, false, true);
    if (!found.sectionFound) {
        return std::nullopt;
    }
    return std::move(found.keyNames);
}

std::vector<std::string> ProfileSectionNames(std::string_view text) {
    std::vector<std::string> names;
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
        if (line.kind == LineKind::Section) {
            names.push_back(DecodeProfileBytes(line.name));
        }
    }
    return names;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value, ProfileEncoding encoding) {
    const Located found = Locate(text, section, key, true, false);
    const std::string_view lineEnd = LineEndOf(text);
    const std::string encodedValue = NewText(value, encoding);
    const std::string entry = NewText(TrimBlanks(key), encoding) + '=' + encodedValue;
    std::string out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    if (found.entry) {
        const Line& line = *found.entry;
        out.append(text.substr(0, line.nameEnd));
        out += '=';
        out.append(encodedValue);
        out.append(text.substr(line.contentEnd));
        return out;
    }
    const std::size_t at = found.sectionFound ? found.lastEntryEnd : text.size();
    out.append(text.substr(0, at));
    if (at > 0 && text[at - 1] != '\n') {
        // The last line had no line end. A CR that ends it was read as part of a CR LF line end
        // cut short: complete that one, so that the line reads the same afterwards.
        out.append(text[at - 1] == '\r' ? std::string_view("\n") : lineEnd);
    }
    if (!found.sectionFound) {
        out += '[';
        out.append(NewText(TrimBlanks(section), encoding));
        out += ']';
        out.append(lineEnd);
    }
    out.append(entry);
    out.append(lineEnd);
    out.append(text.substr(at));
    return out;
}

std::string RemoveProfileKey(std::string_view text, std::string_view section,
                             std::string_view key) {
    const Located found = Locate(text, section, key, true, false);
    if (!found.entry) {
        return std::string(text);
    }
    return Without(text, found.entry->begin, found.entry->end);
}

std::string RemoveProfileSection(std::string_view text, std::string_view section) {
    const Located found = Locate(text, section, {}, false, false);
    if (!found.sectionFound) {
        return std::string(text);
    }
    return Without(text, found.header.begin, found.sectionEnd);
}

std::string CutToBuffer(std::string_view value, int size) {
    if (size <= 0) {
        return {};
    }
    return FirstCharacters(value, static_cast<std::size_t>(size) - 1);
}

std::string NameListForBuffer(const std::vector<std::string>& names, int size) {
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    if (CutToBuffer(list, size).size() == list.size()) {
        return list;
    }
    // The buffer's last two characters hold the NULs that end the cut name and the list.
    return CutToBuffer(list, size - 1);
}

} // namespace platform
