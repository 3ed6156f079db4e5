// Pattern matching for the instance search: the pattern is first read into a list of
// elements, each of which matches exactly one character except "*"; the text is then matched
// with greedy stars, going back only to the last star seen.
#include "app/Like.h"

#include "platform/profile/ProfileBytes.h"

#include <utility>
#include <vector>

namespace BrowserMod1 {
namespace {

struct Element {
    enum Kind { Star, AnyChar, Digit, Literal, List };
    Kind kind = Literal;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges; // inclusive, from <= to
};

bool Matches(const Element& element, char32_t c) {
    switch (element.kind) {
    case Element::Star:
    case Element::AnyChar:
        return true;
    case Element::Digit:
        return c >= U'0' && c <= U'9';
    case Element::Literal:
        return c == element.literal;
    case Element::List:
        break;
    }
    bool inList = false;
    for (const auto& [from, to] : element.ranges) {
        if (c >= from && c <= to) {
            inList = true;
            break;
        }
    }
    return inList != element.negated;
}

// Reads the list that starts after the "[" at pattern[open]. Returns the index of its "]",
// or npos when there is none (the "[" is then an ordinary character).
std::size_t ReadList(const std::u32string& pattern, std::size_t open, Element& element) {
    const std::size_t size = pattern.size();
    std::size_t close = open + 1;
    while (close < size && pattern[close] != U']')
        ++close;
    if (close >= size)
        return std::u32string::npos;

    element.kind = Element::List;
    std::size_t i = open + 1;
    if (i < close && pattern[i] == U'!') {
        element.negated = true;
        ++i;
    }
    while (i < close) {
        const char32_t from = pattern[i];
        if (i + 2 < close && pattern[i + 1] == U'-') {
            const char32_t to = pattern[i + 2];
            if (from <= to) // a reversed range holds no character
                element.ranges.emplace_back(from, to);
            i += 3;
        } else {
            element.ranges.emplace_back(from, from);
            ++i;
        }
    }
    return close;
}

std::vector<Element> Compile(const std::u32string& pattern) {
    std::vector<Element> elements;
    const std::size_t size = pattern.size();
    for (std::size_t i = 0; i < size; ++i) {
        Element element;
        switch (pattern[i]) {
        case U'*':
            // Runs of stars match what one star matches.
            if (!elements.empty() && elements.back().kind == Element::Star)
                continue;
            element.kind = Element::Star;
            break;
        case U'?':
            element.kind = Element::AnyChar;
            break;
        case U'#':
            element.kind = Element::Digit;
            break;
        case U'[': {
            const std::size_t close = ReadList(pattern, i, element);
            if (close == std::u32string::npos) {
                element = Element{};
                element.literal = U'[';
                break;
            }
            i = close;
            // An empty list stands for no character at all.
            if (!element.negated && element.ranges.empty())
                continue;
            break;
        }
        default:
            element.literal = pattern[i];
            break;
        }
        elements.push_back(std::move(element));
    }
    return elements;
}

} // namespace

bool Like(std::string_view text, std::string_view pattern) {
    const std::u32string chars = platform::CodePointsOf(text);
    const std::vector<Element> elements = Compile(platform::CodePointsOf(pattern));

    std::size_t t = 0;
    std::size_t p = 0;
    // Where the last star stands in the pattern, and the text position it was last tried
    // to stop at. Earlier stars never need another try: the last one can absorb any text
    // that they could.
    std::size_t starElement = elements.size();
    std::size_t starText = 0;
    while (t < chars.size()) {
        if (p < elements.size() && elements[p].kind == Element::Star) {
            starElement = p++;
            starText = t;
        } else if (p < elements.size() && Matches(elements[p], chars[t])) {
            ++p;
            ++t;
        } else if (starElement < elements.size()) {
            p = starElement + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < elements.size() && elements[p].kind == Element::Star)
        ++p;
    return p == elements.size();
}

} // namespace BrowserMod1
