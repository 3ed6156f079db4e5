// The command line and section "Liens" turned into the link table.
#include "app/LinkTable.h"

#include <QStringList>

namespace BrowserMod1 {

QString NormalizeUrl(const QString& address) {
    if (address.contains(u':'))
        return address;
    return QStringLiteral("http://") + address;
}

QString PrepareCommandLine(const QString& commandLine) {
    qsizetype first = 0;
    qsizetype last = commandLine.size();
    while (first < last && commandLine[first] == u' ')
        ++first;
    while (last > first && commandLine[last - 1] == u' ')
        --last;
    return commandLine.mid(first, last - first).toLower();
}

LinkTable BuildLinkTable(const QString& commandLine, const IniReader& iniReadDefault) {
    LinkTable table;
    // The appended comma makes sure that fields 0 and 1 always exist.
    const QStringList fields = (commandLine + u',').split(u',');

    const QString& home = fields[0];
    if (!home.isEmpty()) {
        table.HomeUrl = home;
        table.Entry0Caption = home;
    } else {
        table.HomeUrl = QString::fromUtf16(DefaultHomeUrl);
        table.Entry0Caption = QString::fromUtf16(DefaultHomeCaption);
    }
    table.HomeUrl = NormalizeUrl(table.HomeUrl);
    table.LinkUrls[0] = table.HomeUrl;
    table.Visible[0] = true;

    const QString& mail = fields[1];
    table.MailUrl = NormalizeUrl(mail.isEmpty() ? QString::fromUtf16(DefaultMailUrl) : mail);

    const QString section = QStringLiteral("Liens");
    for (int n = 1; n < LinkCount; ++n) {
        const QString title = iniReadDefault(section, QStringLiteral("Titre") + QString::number(n));
        if (title.isEmpty())
            continue;
        table.LinkTitles[n] = title;
        table.LinkUrls[n] = iniReadDefault(section, QStringLiteral("Adresse") + QString::number(n));
        table.Visible[n] = true;
    }
    return table;
}

} // namespace BrowserMod1
