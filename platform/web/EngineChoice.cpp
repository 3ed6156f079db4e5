#include "platform/web/EngineChoice.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

bool StartsFrench(std::string_view name) {
    return name.size() >= 2 && (name[0] == 'f' || name[0] == 'F') &&
           (name[1] == 'r' || name[1] == 'R') &&
           (name.size() == 2 || name[2] == '_' || name[2] == '-' || name[2] == '.' ||
            name[2] == '@' || name[2] == ':');
}

bool MesaTrue(std::string_view value) {
    std::string word(value);
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(c | 0x20); });
    return word == "1" || word == "true" || word == "y" || word == "yes";
}

// Kernel drivers of devices that only show images, with nothing to draw 3D: Mesa draws for them
// on the CPU. Virtual devices that draw through the host (virtio_gpu, vmwgfx) are not among them.
bool DisplayOnlyDriver(std::string_view driver) {
    static constexpr std::array<std::string_view, 13> kDisplayOnly = {
        "ast",     "bochs", "bochs-drm",          "cirrus",    "cirrus-qemu", "hyperv_drm",
        "mgag200", "qxl",   "simple-framebuffer", "simpledrm", "udl",         "vboxvideo",
        "vkms"};
    return std::find(kDisplayOnly.begin(), kDisplayOnly.end(), driver) != kDisplayOnly.end();
}

} // namespace

std::optional<std::string> LocaleInstead(std::string_view localeGiven) {
    if (localeGiven.empty() || localeGiven == "C" || localeGiven == "POSIX") {
        return std::string("C.UTF-8");
    }
    return std::nullopt;
}

std::optional<std::string> LanguageInstead(std::string_view languageVariable,
                                           std::string_view messagesLocale) {
    const std::string_view first = languageVariable.substr(0, languageVariable.find(':'));
    const std::string_view user = first.empty() ? messagesLocale : first;
    if (StartsFrench(user)) {
        return std::nullopt;
    }
    return std::string("fr");
}

bool IsSoftwareDisplay(const DisplayOpenGL& display, std::string_view alwaysSoftware) {
    if (MesaTrue(alwaysSoftware)) {
        return true;
    }
    if (!display.Answered || (!display.GlxVendor.empty() && display.GlxVendor != "SGI")) {
        return false;
    }
    if (!display.Driver.empty()) {
        return DisplayOnlyDriver(display.Driver);
    }
    return !display.Dri2 && !display.Dri3;
}

SandboxDecision DecideSandbox(const SandboxFacts& facts) {
    if (facts.Root) {
        return {false, "lancé en tant que root"};
    }
    if (!facts.Bubblewrap) {
        return {false, "bwrap est introuvable"};
    }
    if (!facts.DbusProxy) {
        return {false, "xdg-dbus-proxy est introuvable"};
    }
    if (!facts.UserNamespaces) {
        return {false, "le système ne permet pas de créer des espaces de noms utilisateur"};
    }
    return {true, {}};
}

std::string SandboxOffLine(const SandboxDecision& decision) {
    return "Orvane : le bac à sable du moteur web est désactivé (" + decision.Reason + ").\n";
}

} // namespace platform
