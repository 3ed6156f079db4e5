#pragma once
// The leading-number parse of the settings values and the rounding to a 32-bit integer.

#include <string_view>

namespace BrowserMod1 {

// The number at the start of text: spaces, tabs and line feeds are skipped wherever they
// stand; then an optional sign, digits and an optional "." with further digits; the parse
// stops at the first character that cannot continue the number. No number gives 0.
// Exponents and radix prefixes are not numbers here: "1e5" gives 1, "&H10" gives 0.
double Val(std::string_view text);

// The nearest 32-bit integer, a half going to the even neighbour. Values beyond the range
// (infinities included) give the nearest end of the range; NaN gives 0.
int RoundToInt32(double value);

} // namespace BrowserMod1
