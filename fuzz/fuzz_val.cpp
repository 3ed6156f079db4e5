// The leading-number parse of settings values against a plain reference parse, and the
// rounding to a 32-bit integer against the C library's round-half-to-even, clamped.
//
// Input: the text to parse, as UTF-8 (invalid bytes become U+FFFD). Its first 8 bytes also
// serve as a raw double for the rounding check, so NaNs, infinities and huge values come up.
#include "settings/LeadingNumber.h"

#include <QString>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
// Every space, tab and line feed dropped, then [sign]digits[.digits] read by strtod; no digit
// gives 0.
double ReferenceVal(const QString& text) {
    std::string kept, number;
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n') {
            kept += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x7f';
        }
    }
    std::size_t at = kept.find_first_not_of("+-") == 0 ? 0 : std::min<std::size_t>(1, kept.size());
    const std::size_t digits = kept.find_first_not_of("0123456789", at);
    std::size_t end = digits == std::string::npos ? kept.size() : digits;
    if (end < kept.size() && kept[end] == '.') {
        end = std::min(kept.find_first_not_of("0123456789", end + 1), kept.size());
    }
    number = kept.substr(0, end);
    return number.find_first_of("0123456789") == std::string::npos
               ? 0.0
               : std::strtod(number.c_str(), nullptr);
}

int ReferenceRound(double value) {
    return std::isnan(value)
               ? 0
               : static_cast<int>(std::clamp(std::nearbyint(value), -2147483648.0, 2147483647.0));
}

void Check(bool ok, const char* what, const QString& text, double got) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_val: %s for \"%s\": got %.17g\n", what,
                     text.toUtf8().constData(), got);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double parsed = BrowserMod1::Val(text), want = ReferenceVal(text);
    // Below the normal range the parse may give 0 where strtod gives a subnormal.
    Check(parsed == want || (parsed == 0.0 && std::fabs(want) < DBL_MIN), "Val", text, parsed);
    Check(BrowserMod1::RoundToInt32(parsed) == ReferenceRound(parsed), "RoundToInt32", text,
          parsed);
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        Check(BrowserMod1::RoundToInt32(raw) == ReferenceRound(raw), "RoundToInt32", text, raw);
    }
    return 0;
}
