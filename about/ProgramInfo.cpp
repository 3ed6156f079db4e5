#include "about/ProgramInfo.h"

namespace ProgramInfo {

namespace {
// The last `count` characters of text (all of it when shorter).
std::string Right(const std::string& text, std::size_t count) {
    return text.size() > count ? text.substr(text.size() - count) : text;
}
} // namespace

std::string Title() {
    return "Orvane";
}

std::string Description() {
    return "Navigateur internet d'Ulmeco";
}

std::string MailTarget() {
    return std::string("mailto:") + kMakerEmail + "?subject=Informations sur Orvane";
}

std::string VersionLine(int major, int minor, int revision) {
    return "Version " + std::to_string(major) + "." + Right("0" + std::to_string(minor), 2) +
           " r\u00e9vision " + Right("000" + std::to_string(revision), 4);
}

} // namespace ProgramInfo
