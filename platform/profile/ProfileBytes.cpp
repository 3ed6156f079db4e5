// The decoding of 8-bit text from the settings file and the window system.
#include "platform/profile/ProfileBytes.h"

namespace platform {

namespace {

// Windows-1252 for the bytes 0x80 to 0x9F; the five undefined ones stand for themselves.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte};
}

// Calls take(codePoint) for each character of the bytes, decoded as DecodeProfileBytes does.
template <typename Take> void ForEachCharacter(std::string_view bytes, Take take) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t cp = 0;
        const int length = Utf8SequenceAt(bytes, at, cp);
        if (length > 0) {
            take(cp);
            at += static_cast<std::size_t>(length);
        } else {
            take(Windows1252Character(static_cast<unsigned char>(bytes[at])));
            ++at;
        }
    }
}

} // namespace

int Utf8SequenceAt(std::string_view bytes, std::size_t at, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    int length = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + static_cast<std::size_t>(length) > bytes.size()) {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool ValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t cp = 0;
        const int length = Utf8SequenceAt(bytes, at, cp);
        if (length == 0) {
            return false;
        }
        at += static_cast<std::size_t>(length);
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<char> Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (kWindows1252High[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::string DecodeProfileBytes(std::string_view bytes) {
    if (ValidUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    ForEachCharacter(bytes, [&out](char32_t cp) { AppendUtf8(out, cp); });
    return out;
}

std::u32string CodePointsOf(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    ForEachCharacter(bytes, [&out](char32_t cp) { out += cp; });
    return out;
}

} // namespace platform
