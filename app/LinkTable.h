#pragma once
// The link table built from the command line and section "Liens" of the settings file: the
// home and mail addresses, the caption of the links menu's entry 0 and links 1 to 5. Texts are
// UTF-8.

#include <array>
#include <functional>
#include <string>

namespace BrowserMod1 {

// Built-in addresses for empty command-line fields, and the caption that goes with the home one.
inline constexpr char kDefaultHomeUrl[] = "www.ulmeco.fr/";
inline constexpr char kDefaultHomeCaption[] = "Site Ulmeco";
inline constexpr char kDefaultMailUrl[] = "webmail.ulmeco.fr/";

inline constexpr int kLinkCount = 6; // menu entry 0 (home) and links 1 to 5

struct LinkTable {
    std::string HomeUrl;                            // normalised
    std::string MailUrl;                            // normalised
    std::string Entry0Caption;                      // the home field as given, or the default
    std::array<std::string, kLinkCount> LinkTitles; // element 0 unused
    std::array<std::string, kLinkCount> LinkUrls;   // element 0: HomeUrl; 1-5 as read
    std::array<bool, kLinkCount> Visible{};         // element 0 always true
};

// Reads one value of the settings file: (section, key) -> value, empty when missing.
using IniReader = std::function<std::string(const std::string& section, const std::string& key)>;

// An address without ":" gets "http://" in front; any other is returned unchanged.
std::string NormalizeUrl(const std::string& address);

// The command-line text as the load sequence hands it on: without leading and trailing blanks
// (U+0020 only; tabs stay) and in lower case (every letter, accented ones too).
std::string PrepareCommandLine(const std::string& commandLine);

// The link table for a prepared command line ("home,mail"; more fields are ignored, empty
// fields take the defaults), reading "Titre1".."Titre5" and "Adresse1".."Adresse5" of section
// "Liens" through iniReadDefault.
LinkTable BuildLinkTable(const std::string& commandLine, const IniReader& iniReadDefault);

} // namespace BrowserMod1
