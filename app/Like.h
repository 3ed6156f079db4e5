#pragma once
// The pattern matcher of the instance search: does a whole text match a whole pattern?
//
//   *        any run of zero or more characters
//   ?        any one character
//   #        any one decimal digit, 0 to 9
//   [list]   any one character of the list; "a-z" inside it is the inclusive range of
//            character codes from a to z
//   [!list]  any one character that is not in the list
//   other    that same character, compared by code (upper and lower case differ)
//
// Malformed patterns never fail; they read as follows:
//   - "[" with no "]" after it is an ordinary "[" character, and so is what follows it;
//   - "]" outside a list is an ordinary character;
//   - "-" first or last in a list (after the "!" of a negated list, too) is an ordinary "-";
//   - "[]" is an empty list, which stands for no character at all (it matches the empty run),
//     and "[!]" is a negated empty list: any one character;
//   - a reversed range such as "[z-a]" holds no character: inside "[...]" it adds nothing,
//     inside "[!...]" it excludes nothing;
//   - "*", "?", "#" and "[" inside a list are ordinary characters.
// Texts are UTF-8 (a byte that is not UTF-8 is one Windows-1252 character); characters are
// whole code points: "?" matches one character outside the BMP too.
//
// Matching takes at most about (text length x pattern length) steps, whatever the pattern.

#include <string_view>

namespace BrowserMod1 {

bool Like(std::string_view text, std::string_view pattern);

} // namespace BrowserMod1
