#pragma once
// The link table built from the command line and section "Liens" of the settings file: the
// home and mail addresses, the caption of the links menu's entry 0 and links 1 to 5.

#include <QString>
#include <array>
#include <functional>

namespace BrowserMod1 {

// Built-in addresses for empty command-line fields, and the caption that goes with the home one.
inline constexpr char16_t DefaultHomeUrl[] = u"www.ulmeco.fr/";
inline constexpr char16_t DefaultHomeCaption[] = u"Site Ulmeco";
inline constexpr char16_t DefaultMailUrl[] = u"webmail.ulmeco.fr/";

inline constexpr int LinkCount = 6; // menu entry 0 (home) and links 1 to 5

struct LinkTable {
    QString HomeUrl;                           // normalised
    QString MailUrl;                           // normalised
    QString Entry0Caption;                     // the home field as given, or the default caption
    std::array<QString, LinkCount> LinkTitles; // element 0 unused
    std::array<QString, LinkCount> LinkUrls;   // element 0: HomeUrl; 1-5 as read
    std::array<bool, LinkCount> Visible{};     // element 0 always true
};

// Reads one value of the settings file: (section, key) -> value, empty when missing.
using IniReader = std::function<QString(const QString& section, const QString& key)>;

// An address without ":" gets "http://" in front; any other is returned unchanged.
QString NormalizeUrl(const QString& address);

// The command-line text as the load sequence hands it on: without leading and trailing blanks
// (U+0020 only; tabs stay) and in lower case.
QString PrepareCommandLine(const QString& commandLine);

// The link table for a prepared command line ("home,mail"; more fields are ignored, empty
// fields take the defaults), reading "Titre1".."Titre5" and "Adresse1".."Adresse5" of section
// "Liens" through iniReadDefault.
LinkTable BuildLinkTable(const QString& commandLine, const IniReader& iniReadDefault);

} // namespace BrowserMod1
