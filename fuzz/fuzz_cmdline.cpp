// The command line and section "Liens" turned into the link table, against the rules built
// here field by field. Input: the command line as UTF-8; after the first NUL byte, the values
// Titre1, Adresse1, ..., Adresse5 the settings reader gives, separated by 0x01 bytes.
#include "app/LinkTable.h"
#include "platform/profile/ProfileBytes.h"

#include <array>

#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace BrowserMod1;

// The text as the core reads it (bytes that are not UTF-8 as Windows-1252), a leading byte
// order mark kept (QString::fromUtf8 would drop it).
static QString Text(const std::string& bytes) {
    QString out;
    for (const char32_t c : platform::CodePointsOf(bytes)) {
        c > 0xFFFF
            ? out.append(QChar(QChar::highSurrogate(c))).append(QChar(QChar::lowSurrogate(c)))
            : out.append(QChar(char16_t(c)));
    }
    return out;
}

// Lower case by the simple, one-to-one mappings, as the command line is lowered.
static QString SimpleLower(const QString& text) {
    QString out;
    for (const char32_t c : text.toStdU32String()) {
        // Qt leaves U+0130 as it is, the C library's tables give "i": the core takes the latter.
        const char32_t lower = c == 0x130 ? U'i' : QChar::toLower(c);
        out += lower > 0xFFFF ? QString::fromUcs4(&lower, 1) : QString(QChar(char16_t(lower)));
    }
    return out;
}

static bool same(const std::array<std::string, kLinkCount>& got,
                 const std::array<QString, kLinkCount>& want) {
    for (int n = 0; n < kLinkCount; ++n) {
        if (got[n] != want[n].toStdString()) {
            return false;
        }
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0');
    const std::string rawBytes = bytes.first(split).toStdString();
    const QString raw = Text(rawBytes);
    const QList<QByteArray> values = bytes.sliced(qMin(split + 1, bytes.size())).split('\x01');
    const auto value = [&](int n, bool address) {
        return QString::fromUtf8(values.value(2 * (n - 1) + address));
    };
    QStringList keysRead, expectedReads;
    const QString line = Text(PrepareCommandLine(rawBytes));
    const LinkTable table =
        BuildLinkTable(line.toStdString(), [&](const std::string& s, const std::string& k) {
            const QString section = QString::fromStdString(s), key = QString::fromStdString(k);
            keysRead << section + '/' + key;
            return (key.startsWith("Titre") || key.startsWith("Adresse")
                        ? value(key.right(1).toInt(), key.startsWith("Adresse"))
                        : QString())
                .toStdString();
        });

    struct {
        QString HomeUrl, MailUrl, Entry0Caption;
        std::array<QString, kLinkCount> LinkTitles, LinkUrls;
        std::array<bool, kLinkCount> Visible{};
    } expected;
    const QStringList fields = (line + u',').split(u',');
    const auto address = [](const QString& field, const char* fallback) {
        const QString address = field.isEmpty() ? QString::fromUtf8(fallback) : field;
        return address.contains(u':') ? address : "http://" + address;
    };
    expected.HomeUrl = expected.LinkUrls[0] = address(fields[0], kDefaultHomeUrl);
    expected.MailUrl = address(fields[1], kDefaultMailUrl);
    expected.Entry0Caption =
        fields[0].isEmpty() ? QString::fromUtf8(kDefaultHomeCaption) : fields[0];
    expected.Visible[0] = true;
    for (int n = 1; n < kLinkCount; ++n) {
        expected.Visible[n] = !value(n, false).isEmpty(); // an address is read under a title only
        expectedReads << QString("Liens/Titre%1").arg(n)
                      << (expected.Visible[n] ? QString("Liens/Adresse%1").arg(n) : QString());
        expected.LinkTitles[n] = expected.Visible[n] ? value(n, false) : QString();
        expected.LinkUrls[n] = expected.Visible[n] ? value(n, true) : QString();
    }
    expectedReads.removeAll(QString());
    if (!line.startsWith(u' ') && !line.endsWith(u' ') && line == SimpleLower(line) &&
        SimpleLower(raw).contains(line) && table.HomeUrl == expected.HomeUrl.toStdString() &&
        table.MailUrl == expected.MailUrl.toStdString() &&
        table.Entry0Caption == expected.Entry0Caption.toStdString() &&
        table.Visible == expected.Visible && same(table.LinkTitles, expected.LinkTitles) &&
        same(table.LinkUrls, expected.LinkUrls) && keysRead == expectedReads) {
        return 0;
    }
    std::fprintf(stderr, "fuzz_cmdline: table or keys read differ for \"%s\"\n",
                 qUtf8Printable(raw.left(200)));
    std::abort();
}
