// The command line and section "Liens" turned into the link table, with a settings reader
// held in memory, against the rules built here field by field.
//
// Input: the command line as UTF-8 (invalid bytes become U+FFFD); after the first NUL byte,
// the values that the reader gives, separated by 0x01 bytes, in the order Titre1, Adresse1,
// ..., Titre5, Adresse5 (missing ones read as "").
#include "app/LinkTable.h"

#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace BrowserMod1;

namespace {
void Check(bool ok, const char* what, const QString& commandLine) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_cmdline: %s (command line \"%s\")\n", what,
                     commandLine.left(200).toUtf8().constData());
        std::abort();
    }
}

QString Address(const QString& field, const char16_t* fallback) {
    const QString address = field.isEmpty() ? QString::fromUtf16(fallback) : field;
    return address.contains(u':') ? address : "http://" + address;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0');
    const QString raw = QString::fromUtf8(bytes.first(split));
    const QList<QByteArray> values = bytes.sliced(qMin(split + 1, bytes.size())).split('\x01');
    const QString line = PrepareCommandLine(raw);
    Check(!line.startsWith(u' ') && !line.endsWith(u' ') && line == line.toLower() &&
              raw.toLower().contains(line),
          "prepared command line", raw);

    QStringList keysRead, expectedReads;
    const auto value = [&](int n, bool address) {
        const qsizetype at = 2 * (n - 1) + address;
        return at < values.size() ? QString::fromUtf8(values[at]) : QString();
    };
    const auto reader = [&](const QString& section, const QString& key) {
        keysRead << section + '/' + key;
        const int n = key.right(1).toInt();
        return key.startsWith("Adresse") ? value(n, true)
               : key.startsWith("Titre") ? value(n, false)
                                         : "";
    };
    const LinkTable table = BuildLinkTable(line, reader);

    LinkTable expected;
    const QStringList fields = (line + u',').split(u',');
    expected.HomeUrl = expected.LinkUrls[0] = Address(fields[0], DefaultHomeUrl);
    expected.MailUrl = Address(fields[1], DefaultMailUrl);
    expected.Entry0Caption =
        fields[0].isEmpty() ? QString::fromUtf16(DefaultHomeCaption) : fields[0];
    expected.Visible[0] = true;
    for (int n = 1; n < LinkCount; ++n) {
        expectedReads << QString("Liens/Titre%1").arg(n);
        expected.Visible[n] = !value(n, false).isEmpty();
        if (expected.Visible[n]) { // an address is read only under a title
            expectedReads << QString("Liens/Adresse%1").arg(n);
            expected.LinkTitles[n] = value(n, false);
            expected.LinkUrls[n] = value(n, true);
        }
    }
    Check(table.HomeUrl == expected.HomeUrl && table.MailUrl == expected.MailUrl &&
              table.Entry0Caption == expected.Entry0Caption && table.Visible == expected.Visible &&
              table.LinkTitles == expected.LinkTitles && table.LinkUrls == expected.LinkUrls &&
              keysRead == expectedReads,
          "the table, or the keys read and their order", raw);
    return 0;
}
