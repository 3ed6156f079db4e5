#pragma once
// What a window shows of the texts pages give it, main window and pop-up windows alike: the
// status line and the caption. Texts are UTF-8; lengths count characters (code points), and a
// cut never splits one.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A status bar shows one line a screen wide: more than this many characters are never seen,
// and laying out megabytes of text (a hostile page's link) would freeze the window.
inline constexpr std::size_t kStatusTextShownMax = 2048;

// The most characters a window caption holds. Other programs read no more of a caption (the
// previous-instance search reads 254), and the window system refuses a caption larger than one
// request, which would end the program.
inline constexpr std::size_t kCaptionMax = 254;

// The number of characters of text (a byte that is not UTF-8 counts as one).
std::size_t CharacterCount(std::string_view text);

// The first maxCharacters characters of text. Reads no further than it cuts, so that a cut of
// a huge text costs what the cut keeps.
std::string FirstCharacters(std::string_view text, std::size_t maxCharacters);

// The text cut to kStatusTextShownMax characters.
std::string ShownStatusText(std::string_view text);

// What a caption shows of a page's text (its title, its address): the text without control
// characters (NUL, line breaks, escapes, C1 controls), cut to maxCharacters characters; a byte
// that is not UTF-8 shows as U+FFFD.
std::string CaptionText(std::string_view text, std::size_t maxCharacters);

} // namespace platform
