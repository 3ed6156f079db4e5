#include "settings/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace BrowserMod1 {

double Val(std::string_view text) {
    std::string number; // the sign, digits and point taken, blanks left out
    bool signTaken = false;
    bool pointTaken = false;
    bool digitTaken = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') {
            continue;
        }
        if ((c == '-' || c == '+') && !signTaken && !pointTaken && !digitTaken) {
            signTaken = true;
            if (c == '-') {
                number += '-';
            }
        } else if (c == '.' && !pointTaken) {
            pointTaken = true;
            number += '.';
        } else if (c >= '0' && c <= '9') {
            digitTaken = true;
            number += c;
        } else {
            break;
        }
    }
    if (!digitTaken) {
        return 0.0;
    }
    double value = 0.0;
    const auto [rest, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Beyond a double: huge when a whole part is there, else too small to tell from 0.
        const std::string whole = number.substr(0, number.find('.'));
        const bool huge = whole.find_first_not_of("-0") != std::string::npos;
        const double magnitude = huge ? std::numeric_limits<double>::infinity() : 0.0;
        return number.front() == '-' ? -magnitude : magnitude;
    }
    return value;
}

int RoundToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        rounded = below + 1.0;
    }
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (rounded <= lowest) {
        return std::numeric_limits<int>::min();
    }
    if (rounded >= highest) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(rounded);
}

} // namespace BrowserMod1
