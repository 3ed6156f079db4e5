// The command line and section "Liens" turned into the link table, against the rules built
// here field by field with GLib. Input: the command line's bytes, then the values Titre1,
// Adresse1, ..., Adresse5 the settings reader gives, each after a NUL byte.
// The whole input is also digested as the instance lock names its file, against GLib's SHA-256.
#include "app/LinkTable.h"
#include "fuzz/Fuzz.h"
#include "platform/process/Sha256.h"

using namespace BrowserMod1;

// A byte that starts no valid UTF-8 sequence, as a Windows-1252 character (iconv's table); the
// five bytes Windows-1252 leaves undefined stand for the control characters of the same codes.
static gunichar Windows1252(unsigned char byte) {
    static const std::array<gunichar, 256> table = [] {
        std::array<gunichar, 256> chars{};
        for (int b = 0; b < 256; ++b) {
            const char in = static_cast<char>(b);
            gchar* out = g_convert(&in, 1, "UTF-8", "WINDOWS-1252", nullptr, nullptr, nullptr);
            chars[b] = out != nullptr ? g_utf8_get_char(out) : gunichar(b);
            g_free(out);
        }
        return chars;
    }();
    return table[byte];
}

// Lower case by Unicode's simple, one-to-one mappings: U+0130 gives a plain "i" (where
// g_utf8_strdown adds U+0307), and the Roman numerals U+2160..U+216F and the circled letters
// U+24B6..U+24CF are lowered too (g_unichar_tolower maps letters only).
static gunichar Lower(gunichar c) {
    if (c == 0x130)
        return U'i';
    if (c >= 0x2160 && c <= 0x216F)
        return c + 0x10;
    return c >= 0x24B6 && c <= 0x24CF ? c + 0x1A : g_unichar_tolower(c);
}

// The bytes as text in lower case, as the core reads them: each valid UTF-8 sequence as it is
// (a leading byte order mark kept), each other byte as Windows-1252.
static std::string LowerText(std::string_view bytes) {
    std::string out;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const gunichar c =
            lead < 0x80 ? lead
                        : g_utf8_get_char_validated(bytes.data() + at, gssize(bytes.size() - at));
        const bool valid = c < 0x110000; // not (gunichar)-1 nor -2
        AppendChar(out, Lower(valid ? c : Windows1252(lead)));
        at += valid && lead >= 0x80 ? std::size_t(g_unichar_to_utf8(c, nullptr)) : 1;
    }
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts; // the command line, then what the reader gives: valid UTF-8
    for (std::size_t at = 0, end = 0; at <= size; at = end + 1) {
        end = std::min(bytes.find('\0', at), size);
        const std::string part(bytes.substr(at, end - at));
        gchar* valid = g_utf8_make_valid(part.c_str(), -1);
        parts.push_back(parts.empty() ? part : valid);
        g_free(valid);
    }
    const std::string& raw = parts[0];
    const auto value = [&](int n, bool address) {
        const std::size_t at = std::size_t(2 * n - 1 + address);
        return n >= 1 && at < parts.size() ? parts[at] : std::string();
    };
    std::vector<std::string> keysRead, expectedReads;
    const std::string line = PrepareCommandLine(raw);
    const LinkTable table = BuildLinkTable(line, [&](const std::string& s, const std::string& k) {
        keysRead.push_back(s + '/' + k);
        const bool address = g_str_has_prefix(k.c_str(), "Adresse");
        return address || g_str_has_prefix(k.c_str(), "Titre") ? value(k.back() - '0', address)
                                                               : std::string();
    });

    // Blanks are U+0020 only (tabs stay); home, mail and the rest are split at commas.
    const std::size_t first = raw.find_first_not_of(' ');
    const std::string prepared =
        first == raw.npos ? ""
                          : LowerText(raw.substr(first, raw.find_last_not_of(' ') + 1 - first));
    gchar** fields = g_strsplit((prepared + ',').c_str(), ",", 3);
    const auto address = [](const std::string& field, const char* fallback) {
        const std::string address = field.empty() ? std::string(fallback) : field;
        return address.find(':') != std::string::npos ? address : "http://" + address;
    };
    LinkTable expected{};
    expected.HomeUrl = expected.LinkUrls[0] = address(fields[0], kDefaultHomeUrl);
    expected.MailUrl = address(fields[1], kDefaultMailUrl);
    expected.Entry0Caption = *fields[0] == '\0' ? kDefaultHomeCaption : fields[0];
    g_strfreev(fields);
    expected.Visible[0] = true;
    for (int n = 1; n < kLinkCount; ++n) {
        expected.Visible[n] = !value(n, false).empty(); // an address is read under a title only
        expectedReads.push_back("Liens/Titre" + std::to_string(n));
        if (expected.Visible[n]) {
            expectedReads.push_back("Liens/Adresse" + std::to_string(n));
            expected.LinkTitles[n] = value(n, false);
            expected.LinkUrls[n] = value(n, true);
        }
    }
    gchar* digest = g_compute_checksum_for_data(G_CHECKSUM_SHA256, data, size);
    Check(platform::Sha256Hex(bytes) == digest, "fuzz_cmdline: SHA-256 differs", raw);
    g_free(digest);
    Check(line == prepared, "fuzz_cmdline: prepared command line differs", raw);
    Check(table.HomeUrl == expected.HomeUrl && table.MailUrl == expected.MailUrl &&
              table.Entry0Caption == expected.Entry0Caption && table.Visible == expected.Visible &&
              table.LinkTitles == expected.LinkTitles && table.LinkUrls == expected.LinkUrls &&
              keysRead == expectedReads,
          "fuzz_cmdline: table or keys read differ", raw);
    return 0;
}
