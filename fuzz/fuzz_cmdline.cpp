// The command line and section "Liens" turned into the link table, against the rules built
// here field by field. Input: the command line as UTF-8; after the first NUL byte, the values
// Titre1, Adresse1, ..., Adresse5 the settings reader gives, separated by 0x01 bytes.
#include "app/LinkTable.h"

#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace BrowserMod1;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0');
    const QString raw = QString::fromUtf8(bytes.first(split));
    const QList<QByteArray> values = bytes.sliced(qMin(split + 1, bytes.size())).split('\x01');
    const auto value = [&](int n, bool address) {
        return QString::fromUtf8(values.value(2 * (n - 1) + address));
    };
    QStringList keysRead, expectedReads;
    const QString line = PrepareCommandLine(raw);
    const LinkTable table = BuildLinkTable(line, [&](const QString& section, const QString& key) {
        keysRead << section + '/' + key;
        return key.startsWith("Titre") || key.startsWith("Adresse")
                   ? value(key.right(1).toInt(), key.startsWith("Adresse"))
                   : QString();
    });

    LinkTable expected;
    const QStringList fields = (line + u',').split(u',');
    const auto address = [](const QString& field, const char16_t* fallback) {
        const QString address = field.isEmpty() ? QString::fromUtf16(fallback) : field;
        return address.contains(u':') ? address : "http://" + address;
    };
    expected.HomeUrl = expected.LinkUrls[0] = address(fields[0], DefaultHomeUrl);
    expected.MailUrl = address(fields[1], DefaultMailUrl);
    expected.Entry0Caption =
        fields[0].isEmpty() ? QString::fromUtf16(DefaultHomeCaption) : fields[0];
    expected.Visible[0] = true;
    for (int n = 1; n < LinkCount; ++n) {
        expected.Visible[n] = !value(n, false).isEmpty(); // an address is read under a title only
        expectedReads << QString("Liens/Titre%1").arg(n)
                      << (expected.Visible[n] ? QString("Liens/Adresse%1").arg(n) : QString());
        expected.LinkTitles[n] = expected.Visible[n] ? value(n, false) : QString();
        expected.LinkUrls[n] = expected.Visible[n] ? value(n, true) : QString();
    }
    expectedReads.removeAll(QString());
    if (!line.startsWith(u' ') && !line.endsWith(u' ') && line == line.toLower() &&
        raw.toLower().contains(line) && table.HomeUrl == expected.HomeUrl &&
        table.MailUrl == expected.MailUrl && table.Entry0Caption == expected.Entry0Caption &&
        table.Visible == expected.Visible && table.LinkTitles == expected.LinkTitles &&
        table.LinkUrls == expected.LinkUrls && keysRead == expectedReads) {
        return 0;
    }
    std::fprintf(stderr, "fuzz_cmdline: table or keys read differ for \"%s\"\n",
                 qUtf8Printable(raw.left(200)));
    std::abort();
}
