#pragma once
// Letter case of UTF-8 text, by Unicode's simple case mappings, whatever the process's locale.

#include <string>
#include <string_view>

namespace platform {

// The text in lower case, character by character ("ÉCOLE" gives "école"). Bytes that are not
// UTF-8 are read as Windows-1252, as everywhere in the program.
std::string LowerCase(std::string_view text);

// Whether two texts are the same without regard to letter case.
bool SameIgnoringCase(std::string_view a, std::string_view b);

} // namespace platform
