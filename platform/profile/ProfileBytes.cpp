// The decoding of 8-bit text from the settings file and the window system.
#include "platform/profile/ProfileBytes.h"

namespace platform {

namespace {

void AppendCodePoint(QString& out, char32_t cp) {
    if (cp >= 0x10000) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(static_cast<char16_t>(cp));
    }
}

// Windows-1252 for the bytes 0x80 to 0x9F; the five undefined ones stand for themselves.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the valid UTF-8 sequence at `at` and its code point, or 0.
int Utf8Sequence(QByteArrayView bytes, qsizetype at, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
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
    if (at + length > bytes.size()) {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + k]);
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

} // namespace

bool ValidUtf8(QByteArrayView bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t cp = 0;
        const int length =
            static_cast<unsigned char>(bytes[at]) < 0x80 ? 1 : Utf8Sequence(bytes, at, cp);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::optional<char> Windows1252Byte(char16_t c) {
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

QString DecodeProfileBytes(QByteArrayView bytes) {
    QString out;
    out.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            out += QChar(byte);
            ++at;
            continue;
        }
        char32_t cp = 0;
        const int length = Utf8Sequence(bytes, at, cp);
        if (length > 0) {
            AppendCodePoint(out, cp);
            at += length;
        } else {
            out += QChar(byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte});
            ++at;
        }
    }
    return out;
}

} // namespace platform
