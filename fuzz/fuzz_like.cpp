// The pattern matcher against a plain recursive reference, with a memo over (text position,
// pattern position). Any disagreement aborts.
//
// Input: pattern bytes, one 0xFF byte, text bytes. Bytes below 0x80 stand for themselves; the
// others pick from a few characters beyond ASCII (accented, outside the BMP, another script's
// digit). Both sides are cut to kMaxLength characters to keep the memo small.
#include "app/Like.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxLength = 48;

QString FromBytes(const std::uint8_t* data, std::size_t size) {
    static const char32_t kWide[] = {U'\u00E9', U'\U0001D11E', U'\u0663', U'\u00C9',
                                     U'\u2212', U'\U0001F600', U'\u00A0', U'\uFFFD'};
    QString out;
    for (std::size_t i = 0; i < size && i < kMaxLength; ++i) {
        const char32_t c = data[i] < 0x80 ? data[i] : kWide[data[i] % 8];
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

// The reference matcher, straight from the rules in app/Like.h.
class Reference {
public:
    Reference(const QString& text, const QString& pattern)
        : text_(text.toStdU32String()), pattern_(pattern.toStdU32String()),
          memo_((text_.size() + 1) * (pattern_.size() + 1), -1) {}

    bool Match() { return Match(0, 0); }

private:
    bool Match(std::size_t t, std::size_t p) {
        signed char& known = memo_[t * (pattern_.size() + 1) + p];
        if (known < 0) {
            known = Compute(t, p) ? 1 : 0;
        }
        return known == 1;
    }

    // Does the list between pattern_[open] ("[") and pattern_[close] ("]") take c?
    bool InList(std::size_t open, std::size_t close, char32_t c, bool& empty) const {
        std::size_t i = open + 1;
        const bool negated = i < close && pattern_[i] == U'!';
        if (negated) {
            ++i;
        }
        bool holdsAny = false, found = false; // a reversed range holds no character
        while (i < close) {
            if (i + 2 < close && pattern_[i + 1] == U'-') {
                holdsAny = holdsAny || pattern_[i] <= pattern_[i + 2];
                found = found || (pattern_[i] <= c && c <= pattern_[i + 2]);
                i += 3;
            } else {
                holdsAny = true;
                found = found || pattern_[i] == c;
                i += 1;
            }
        }
        empty = !holdsAny && !negated;
        return found != negated;
    }

    bool Compute(std::size_t t, std::size_t p) {
        if (p == pattern_.size()) {
            return t == text_.size();
        }
        const char32_t e = pattern_[p];
        const bool more = t < text_.size();
        if (e == U'*') {
            return Match(t, p + 1) || (more && Match(t + 1, p));
        }
        if (e == U'?') {
            return more && Match(t + 1, p + 1);
        }
        if (e == U'#') {
            return more && text_[t] >= U'0' && text_[t] <= U'9' && Match(t + 1, p + 1);
        }
        if (e == U'[') {
            const std::size_t close = pattern_.find(U']', p + 1);
            if (close != std::u32string::npos) {
                bool empty = false;
                const bool taken = InList(p, close, more ? text_[t] : 0, empty) && more;
                if (empty) {
                    // A list that holds no character stands for no character at all.
                    return Match(t, close + 1);
                }
                return taken && Match(t + 1, close + 1);
            }
        }
        return more && text_[t] == e && Match(t + 1, p + 1);
    }

    std::u32string text_, pattern_;
    std::vector<signed char> memo_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t split = std::find(data, data + size, 0xFF) - data;
    const QString pattern = FromBytes(data, split);
    const QString text = split < size ? FromBytes(data + split + 1, size - split - 1) : QString();

    const bool got = BrowserMod1::Like(text, pattern);
    const bool want = Reference(text, pattern).Match();
    if (got != want) {
        std::fprintf(stderr, "fuzz_like: Like(\"%s\", \"%s\") = %d, reference %d\n",
                     text.toUtf8().constData(), pattern.toUtf8().constData(), got, want);
        std::abort();
    }
    return 0;
}
