// Case mappings through the C library's Unicode tables (the C.UTF-8 locale, made once and
// never set for the process); ASCII alone where that locale is missing.
#include "platform/TextCase.h"

#include "platform/profile/ProfileBytes.h"

#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace platform {
namespace {

locale_t UnicodeLocale() {
    static const locale_t locale =
        ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

char32_t Lower(char32_t c) {
    if (c < 0x80) {
        return c >= U'A' && c <= U'Z' ? c + 32 : c;
    }
    const locale_t locale = UnicodeLocale();
    if (locale == static_cast<locale_t>(nullptr)) {
        return c;
    }
    return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), locale));
}

// Both mappings, so that characters whose upper case forms meet (final and other sigma, the
// Kelvin sign and k) count as the same.
char32_t Folded(char32_t c) {
    if (c < 0x80) {
        return Lower(c);
    }
    const locale_t locale = UnicodeLocale();
    if (locale == static_cast<locale_t>(nullptr)) {
        return c;
    }
    return Lower(static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale)));
}

} // namespace

std::string LowerCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : CodePointsOf(text)) {
        AppendUtf8(out, Lower(c));
    }
    return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    const std::u32string left = CodePointsOf(a);
    const std::u32string right = CodePointsOf(b);
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (left[i] != right[i] && Folded(left[i]) != Folded(right[i])) {
            return false;
        }
    }
    return true;
}

} // namespace platform
