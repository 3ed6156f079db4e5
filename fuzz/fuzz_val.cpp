// The leading-number parse of settings values against a plain reference parse, and the
// rounding to a 32-bit integer against the C library's round-half-to-even.
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
#include <limits>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const QString& text, double got, double want) {
    std::fprintf(stderr, "fuzz_val: %s for \"%s\": got %.17g, expected %.17g\n", what,
                 text.toUtf8().constData(), got, want);
    std::abort();
}

// The reference: drop every space, tab and line feed, then read [sign]digits[.digits] from the
// start with strtod on exactly the characters taken. No digit at all gives 0.
double ReferenceVal(const QString& text) {
    std::string kept;
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n') {
            kept += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x7f';
        }
    }
    std::size_t at = 0;
    std::string number;
    if (at < kept.size() && (kept[at] == '+' || kept[at] == '-')) {
        number += kept[at++];
    }
    bool anyDigit = false;
    while (at < kept.size() && kept[at] >= '0' && kept[at] <= '9') {
        number += kept[at++];
        anyDigit = true;
    }
    if (at < kept.size() && kept[at] == '.') {
        number += kept[at++];
        while (at < kept.size() && kept[at] >= '0' && kept[at] <= '9') {
            number += kept[at++];
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return 0.0;
    }
    return std::strtod(number.c_str(), nullptr);
}

bool SameNumber(double got, double want) {
    if (got == want) {
        return true; // also 0 against -0, which no caller can tell apart after rounding
    }
    // Below the normal range the parse may give 0 where strtod gives a subnormal.
    return got == 0.0 && std::fabs(want) < DBL_MIN;
}

// The reference rounding: the current (to nearest, ties to even) mode of the C library,
// then clamped to the 32-bit range; NaN gives 0.
int ReferenceRound(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    if (rounded >= std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(rounded);
}

void CheckRound(double value, const QString& text) {
    const int got = BrowserMod1::RoundToInt32(value);
    const int want = ReferenceRound(value);
    if (got != want) {
        Fail("RoundToInt32", text, got, want);
    }
    // Properties that hold whatever the reference says: within half a unit when in range,
    // and a tie always lands on an even number.
    if (std::isfinite(value) && value > -2147483648.5 && value < 2147483647.5) {
        const double distance = std::fabs(value - got);
        if (distance > 0.5 || (distance == 0.5 && got % 2 != 0)) {
            Fail("RoundToInt32 distance", text, got, value);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double parsed = BrowserMod1::Val(text);
    const double want = ReferenceVal(text);
    if (!SameNumber(parsed, want)) {
        Fail("Val", text, parsed, want);
    }
    CheckRound(parsed, text);

    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        CheckRound(raw, text);
    }
    return 0;
}
