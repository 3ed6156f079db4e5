#include "browser/ButtonTexts.h"

namespace browser {

namespace {

// Walks the caption: each "&" that marks a key is handed to mark, every other character to
// text (the "&" of "&&" included).
template <class Mark, class Text> void Walk(std::string_view caption, Mark mark, Text text) {
    for (std::size_t at = 0; at < caption.size(); ++at) {
        if (caption[at] != '&') {
            text(caption[at]);
        } else if (at + 1 < caption.size() && caption[at + 1] == '&') {
            text('&');
            ++at;
        } else {
            mark();
        }
    }
}

} // namespace

std::string MnemonicCaption(std::string_view caption) {
    std::string out;
    Walk(
        caption, [&out] { out += '_'; },
        [&out](char c) { c == '_' ? void(out += "__") : void(out += c); });
    return out;
}

std::string PlainCaption(std::string_view caption) {
    std::string out;
    Walk(
        caption, [] {}, [&out](char c) { out += c; });
    return out;
}

std::string IconResource(std::string_view icon, int scale) {
    // ":/icons/x.png" lies at "/orvane/icons/x.png" in the bundle (resources/icons.gresource.xml).
    if (icon.starts_with(":/")) {
        icon.remove_prefix(1);
    }
    std::string path = "/orvane" + std::string(icon);
    const std::size_t dot = path.rfind('.');
    if (scale >= 2 && dot != std::string::npos && dot > path.rfind('/')) {
        path.insert(dot, "@2x");
    }
    return path;
}

} // namespace browser
