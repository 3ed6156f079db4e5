// The command line and section "Liens" turned into the link table, with a settings reader
// held in memory.
//
// Input: the command line as UTF-8 (invalid bytes become U+FFFD); after the first NUL byte,
// the values that the reader gives, separated by 0x01 bytes, in the order Titre1, Adresse1,
// ..., Titre5, Adresse5 (missing ones read as "").
#include "app/LinkTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what, const QString& commandLine) {
    std::fprintf(stderr, "fuzz_cmdline: %s (command line of %lld characters: \"%s\")\n", what,
                 static_cast<long long>(commandLine.size()),
                 commandLine.left(200).toUtf8().constData());
    std::abort();
}

void Check(bool ok, const char* what, const QString& commandLine) {
    if (!ok) {
        Fail(what, commandLine);
    }
}

// The address a field gives: the default when empty, "http://" added when it has no colon.
QString Expected(const QString& field, const char16_t* fallback) {
    const QString address = field.isEmpty() ? QString::fromUtf16(fallback) : field;
    return address.contains(u':') ? address : QStringLiteral("http://") + address;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    std::size_t split = 0;
    while (split < size && data[split] != 0) {
        ++split;
    }
    const QString raw = QString::fromUtf8(bytes, static_cast<qsizetype>(split));
    const QList<QByteArray> values =
        split < size
            ? QByteArray(bytes + split + 1, static_cast<qsizetype>(size - split - 1)).split('\x01')
            : QList<QByteArray>();

    const QString line = BrowserMod1::PrepareCommandLine(raw);
    Check(!line.startsWith(u' ') && !line.endsWith(u' '), "blanks left at an end", raw);
    Check(line == line.toLower(), "not in lower case", raw);
    Check(raw.toLower().contains(line), "not a part of the lower-cased command line", raw);

    // The keys in the order of the input's values: Titre1, Adresse1, ..., Titre5, Adresse5.
    QStringList keys;
    for (int n = 1; n < BrowserMod1::LinkCount; ++n) {
        keys << QStringLiteral("Titre%1").arg(n) << QStringLiteral("Adresse%1").arg(n);
    }
    QStringList keysRead;
    const auto reader = [&](const QString& section, const QString& key) {
        const qsizetype at = keys.indexOf(key);
        Check(section == QStringLiteral("Liens") && at >= 0, "unexpected key read", raw);
        keysRead << key;
        return at < values.size() ? QString::fromUtf8(values[at]) : QString();
    };
    const BrowserMod1::LinkTable table = BrowserMod1::BuildLinkTable(line, reader);

    const QStringList fields = (line + u',').split(u',');
    Check(!table.HomeUrl.isEmpty() && table.HomeUrl.contains(u':'), "home address", raw);
    Check(!table.MailUrl.isEmpty() && table.MailUrl.contains(u':'), "mail address", raw);
    Check(table.LinkUrls[0] == table.HomeUrl && table.Visible[0], "link 0", raw);
    Check(table.HomeUrl == Expected(fields[0], BrowserMod1::DefaultHomeUrl), "home field", raw);
    Check(table.MailUrl == Expected(fields[1], BrowserMod1::DefaultMailUrl), "mail field", raw);
    Check(
        table.Entry0Caption ==
            (fields[0].isEmpty() ? QString::fromUtf16(BrowserMod1::DefaultHomeCaption) : fields[0]),
        "caption of entry 0", raw);
    QStringList expectedReads;
    for (int n = 1; n < BrowserMod1::LinkCount; ++n) {
        expectedReads << keys[2 * (n - 1)];
        const QString title =
            2 * (n - 1) < values.size() ? QString::fromUtf8(values[2 * (n - 1)]) : QString();
        const QString address =
            2 * n - 1 < values.size() ? QString::fromUtf8(values[2 * n - 1]) : QString();
        if (!title.isEmpty()) {
            expectedReads << keys[2 * n - 1];
        }
        Check(table.Visible[n] == !title.isEmpty(), "visibility of a link", raw);
        Check(table.LinkTitles[n] == title, "title of a link", raw);
        Check(table.LinkUrls[n] == (title.isEmpty() ? QString() : address), "address of a link",
              raw);
    }
    Check(keysRead == expectedReads, "keys read, or their order", raw);
    return 0;
}
