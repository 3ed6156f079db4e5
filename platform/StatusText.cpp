#include "platform/StatusText.h"

#include "platform/profile/ProfileBytes.h"

namespace platform {
namespace {

// The bytes of the character at `at`: a whole UTF-8 sequence, or one byte that is none.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    char32_t cp = 0;
    const int length = Utf8SequenceAt(text, at, cp);
    return length > 0 ? static_cast<std::size_t>(length) : 1;
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

} // namespace

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at)) {
        ++count;
    }
    return count;
}

std::string FirstCharacters(std::string_view text, std::size_t maxCharacters) {
    std::size_t at = 0;
    for (std::size_t count = 0; count < maxCharacters && at < text.size(); ++count) {
        at += CharacterLength(text, at);
    }
    return std::string(text.substr(0, at));
}

std::string ShownStatusText(std::string_view text) {
    return FirstCharacters(text, kStatusTextShownMax);
}

std::string CaptionText(std::string_view text, std::size_t maxCharacters) {
    std::string shown;
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size() && count < maxCharacters;) {
        char32_t cp = 0;
        const int length = Utf8SequenceAt(text, at, cp);
        const std::size_t step = length > 0 ? static_cast<std::size_t>(length) : 1;
        if (length == 0) {
            AppendUtf8(shown, 0xFFFD); // a caption is always valid UTF-8
            ++count;
        } else if (!IsControl(cp)) {
            shown.append(text.substr(at, step));
            ++count;
        }
        at += step;
    }
    return shown;
}

} // namespace platform
