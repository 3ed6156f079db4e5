// The pattern matcher against a memoised reference built from the rules in app/Like.h.
// Input: pattern bytes, one 0xFF byte, text bytes; bytes from 0x80 on pick characters beyond
// ASCII. Both sides are cut to 48 characters.
#include "app/Like.h"
#include "fuzz/Fuzz.h"

#include <functional>

static std::u32string Chars(const std::uint8_t* data, std::size_t size) {
    static const char32_t kWide[] = {U'\u00E9', U'\U0001D11E', U'\u0663', U'\u00C9',
                                     U'\u2212', U'\U0001F600', U'\u00A0', U'\uFFFD'};
    std::u32string out;
    for (std::size_t i = 0; i < size && i < 48; ++i)
        out += data[i] < 0x80 ? char32_t(data[i]) : kWide[data[i] % 8];
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t split = std::find(data, data + size, 0xFF) - data;
    const std::u32string p = Chars(data, split),
                         t = split < size ? Chars(data + split + 1, size - split - 1) : U"";
    std::vector<signed char> memo((t.size() + 1) * (p.size() + 1), -1);
    std::function<bool(std::size_t, std::size_t)> match = [&](std::size_t i, std::size_t j) {
        signed char& known = memo[i * (p.size() + 1) + j];
        const bool more = i < t.size();
        const std::size_t close = j < p.size() && p[j] == U'[' ? p.find(U']', j + 1) : p.npos;
        if (known >= 0) {
            return known == 1;
        } else if (j == p.size()) {
            known = !more;
        } else if (p[j] == U'*') {
            known = match(i, j + 1) || (more && match(i + 1, j));
        } else if (p[j] == U'?' || p[j] == U'#') {
            known = more && (p[j] == U'?' || (t[i] >= U'0' && t[i] <= U'9')) && match(i + 1, j + 1);
        } else if (close != p.npos) { // a reversed range holds nothing; an empty list matches none
            const bool negated = p[j + 1] == U'!';
            bool holdsAny = false, found = false;
            for (std::size_t k = j + 1 + negated; k < close; k += 1) {
                const bool range = k + 2 < close && p[k + 1] == U'-';
                const char32_t low = p[k], high = range ? p[k += 2] : low;
                holdsAny = holdsAny || low <= high;
                found = found || (more && low <= t[i] && t[i] <= high);
            }
            known = !holdsAny && !negated ? match(i, close + 1)
                                          : more && found != negated && match(i + 1, close + 1);
        } else {
            known = more && t[i] == p[j] && match(i + 1, j + 1);
        }
        return known == 1;
    };
    std::string text, pattern;
    std::for_each(t.begin(), t.end(), [&](char32_t c) { AppendChar(text, c); });
    std::for_each(p.begin(), p.end(), [&](char32_t c) { AppendChar(pattern, c); });
    Check(BrowserMod1::Like(text, pattern) == match(0, 0), "fuzz_like: differs from the reference",
          pattern + "\" on \"" + text);
    return 0;
}
