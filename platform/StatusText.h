#pragma once
// What a one-line status bar shows of a status text (main window and pop-up windows alike).

#include <QString>

namespace platform {

// A status bar shows one line a screen wide: more than this many characters are never seen,
// and laying out megabytes of text (a hostile page's link) would freeze the window.
inline constexpr qsizetype kStatusTextShownMax = 2048;

// The text cut to kStatusTextShownMax characters, never inside a surrogate pair.
QString ShownStatusText(const QString& text);

} // namespace platform
