// The command line and section "Liens" turned into the link table, against the rules built
// here field by field with GLib's text functions. Input: the command line's bytes; after the
// first NUL byte, the values Titre1, Adresse1, ..., Adresse5 the settings reader gives,
// separated by 0x01 bytes.
#include "app/LinkTable.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace BrowserMod1;

static void AppendChar(std::string& out, gunichar c) {
    char bytes[6];
    out.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(c, bytes)));
}

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

// The bytes as text, as the core reads them: each valid UTF-8 sequence as it is (a leading byte
// order mark kept), each other byte as Windows-1252.
static std::string Text(std::string_view bytes) {
    std::string out;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const gunichar c =
            lead < 0x80 ? lead
                        : g_utf8_get_char_validated(bytes.data() + at, gssize(bytes.size() - at));
        const bool valid = c < 0x110000; // not (gunichar)-1 nor -2
        AppendChar(out, valid ? c : Windows1252(lead));
        at += valid && lead >= 0x80 ? std::size_t(g_unichar_to_utf8(c, nullptr)) : 1;
    }
    return out;
}

// Lower case by Unicode's simple, one-to-one mappings, as the command line is lowered:
// - U+0130 gives a plain "i" (g_utf8_strdown's full mapping would add U+0307);
// - g_unichar_tolower maps letters only, where Unicode's mappings also lower the Roman numerals
//   U+2160..U+216F and the circled letters U+24B6..U+24CF; the core follows Unicode there.
static gunichar Lower(gunichar c) {
    if (c == 0x130) {
        return U'i';
    } else if (c >= 0x2160 && c <= 0x216F) {
        return c + 0x10;
    } else if (c >= 0x24B6 && c <= 0x24CF) {
        return c + 0x1A;
    }
    return g_unichar_tolower(c);
}

static std::string SimpleLower(const std::string& text) {
    std::string out;
    for (const char* p = text.data(); p < text.data() + text.size(); p = g_utf8_next_char(p)) {
        AppendChar(out, Lower(g_utf8_get_char(p)));
    }
    return out;
}

// The bytes without U+0020 at either end (tabs stay).
static std::string_view WithoutSpaces(std::string_view bytes) {
    while (!bytes.empty() && bytes.front() == ' ') {
        bytes.remove_prefix(1);
    }
    while (!bytes.empty() && bytes.back() == ' ') {
        bytes.remove_suffix(1);
    }
    return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(bytes.find('\0'), bytes.size());
    const std::string raw(bytes.substr(0, split));
    std::vector<std::string> values; // what the reader gives is valid UTF-8
    for (std::string_view rest = bytes.substr(std::min(split + 1, bytes.size()));;) {
        const std::size_t end = std::min(rest.find('\x01'), rest.size());
        gchar* valid = g_utf8_make_valid(rest.data(), gssize(end));
        values.emplace_back(valid);
        g_free(valid);
        if (end == rest.size()) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    const auto value = [&](int n, bool address) {
        const std::size_t at = std::size_t(2 * (n - 1) + address);
        return n >= 1 && at < values.size() ? values[at] : std::string();
    };
    std::vector<std::string> keysRead, expectedReads;
    const std::string line = PrepareCommandLine(raw);
    const LinkTable table = BuildLinkTable(line, [&](const std::string& s, const std::string& k) {
        keysRead.push_back(s + '/' + k);
        const bool address = g_str_has_prefix(k.c_str(), "Adresse");
        return address || g_str_has_prefix(k.c_str(), "Titre") ? value(k.back() - '0', address)
                                                               : std::string();
    });

    struct {
        std::string HomeUrl, MailUrl, Entry0Caption;
        std::array<std::string, kLinkCount> LinkTitles, LinkUrls;
        std::array<bool, kLinkCount> Visible{};
    } expected;
    const std::string prepared = SimpleLower(Text(WithoutSpaces(raw)));
    gchar** fields = g_strsplit((prepared + ',').c_str(), ",", 3); // home, mail, the rest
    const auto address = [](const std::string& field, const char* fallback) {
        const std::string address = field.empty() ? std::string(fallback) : field;
        return address.find(':') != std::string::npos ? address : "http://" + address;
    };
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
    if (line == prepared && table.HomeUrl == expected.HomeUrl &&
        table.MailUrl == expected.MailUrl && table.Entry0Caption == expected.Entry0Caption &&
        table.Visible == expected.Visible && table.LinkTitles == expected.LinkTitles &&
        table.LinkUrls == expected.LinkUrls && keysRead == expectedReads) {
        return 0;
    }
    std::fprintf(stderr, "fuzz_cmdline: %s differ for \"%.200s\"\n",
                 line == prepared ? "table or keys read" : "prepared command line", raw.c_str());
    std::abort();
}
