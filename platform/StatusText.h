#pragma once
// What a window shows of the texts pages give it, main window and pop-up windows alike: the
// status line and the caption. Lengths count characters (code points): a surrogate pair is one
// character and is never split.

#include <QString>

namespace platform {

// A status bar shows one line a screen wide: more than this many characters are never seen,
// and laying out megabytes of text (a hostile page's link) would freeze the window.
inline constexpr qsizetype kStatusTextShownMax = 2048;

// The most characters a window caption holds. Other programs read no more of a caption (the
// previous-instance search reads 254), and the window system refuses a caption larger than one
// request, which would end the program.
inline constexpr qsizetype kCaptionMax = 254;

// The number of characters of text.
qsizetype CharacterCount(QStringView text);

// The first maxCharacters characters of text (none when maxCharacters < 1).
QString FirstCharacters(const QString& text, qsizetype maxCharacters);

// The text cut to kStatusTextShownMax characters.
QString ShownStatusText(const QString& text);

// What a caption shows of a page's text (its title, its address): the text without control
// characters (NUL, line breaks, escapes), cut to maxCharacters characters.
QString CaptionText(const QString& text, qsizetype maxCharacters);

} // namespace platform
