// The command line and section "Liens" turned into the link table.
#include "app/LinkTable.h"

#include "platform/TextCase.h"

namespace BrowserMod1 {

std::string NormalizeUrl(const std::string& address) {
    if (address.find(':') != std::string::npos)
        return address;
    return "http://" + address;
}

std::string PrepareCommandLine(const std::string& commandLine) {
    const std::size_t first = commandLine.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const std::size_t last = commandLine.find_last_not_of(' ');
    return platform::LowerCase(std::string_view(commandLine).substr(first, last + 1 - first));
}

LinkTable BuildLinkTable(const std::string& commandLine, const IniReader& iniReadDefault) {
    LinkTable table;
    // Fields 0 and 1 always exist; a third field and those after it are ignored.
    const std::size_t comma = commandLine.find(',');
    const std::string home = commandLine.substr(0, comma);
    std::string mail;
    if (comma != std::string::npos) {
        const std::size_t next = commandLine.find(',', comma + 1);
        mail = commandLine.substr(comma + 1, next == std::string::npos ? next : next - comma - 1);
    }

    if (!home.empty()) {
        table.HomeUrl = home;
        table.Entry0Caption = home;
    } else {
        table.HomeUrl = kDefaultHomeUrl;
        table.Entry0Caption = kDefaultHomeCaption;
    }
    table.HomeUrl = NormalizeUrl(table.HomeUrl);
    table.LinkUrls[0] = table.HomeUrl;
    table.Visible[0] = true;

    table.MailUrl = NormalizeUrl(mail.empty() ? std::string(kDefaultMailUrl) : mail);

    const std::string section = "Liens";
    for (int n = 1; n < kLinkCount; ++n) {
        const std::string title = iniReadDefault(section, "Titre" + std::to_string(n));
        if (title.empty())
            continue;
        table.LinkTitles[n] = title;
        table.LinkUrls[n] = iniReadDefault(section, "Adresse" + std::to_string(n));
        table.Visible[n] = true;
    }
    return table;
}

} // namespace BrowserMod1
