// The profile reader and writer on arbitrary file bytes, in memory. Input: three short names
// (section, key, value) from a small alphabet, an operation byte (set, remove key, remove
// section), then the file's bytes in the encoding they show. Aborts when a value stored does not
// read back, an edit changes another key or the section list, or is lost when written back.
// Names are compared as GLib folds them; regular expressions tell those the format can hold.
#include "fuzz/Fuzz.h"
#include "platform/profile/ProfileText.h"

#include <optional>
#include <regex>
#include <set>
#include <tuple>

using namespace platform;

// The text without blanks (spaces, tabs) at either end.
static std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first == text.npos ? std::string_view()
                              : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The text case folded character by character, NUL characters kept (g_utf8_casefold stops at
// them). Full folding differs from the simple, one-to-one folding of the core only on characters
// folded to two or more (U+00DF to "ss"), none of which gives a name of the alphabet below.
static std::string Folded(std::string_view text) {
    std::string out;
    const char* const end = text.data() + text.size();
    for (const char *p = text.data(), *next = p; p < end; p = next) {
        next = std::min<const char*>(g_utf8_next_char(p), end);
        gchar* folded = g_utf8_casefold(p, next - p);
        out.append(*p == '\0' ? std::string(1, '\0') : std::string(folded));
        g_free(folded);
    }
    return out;
}

// As the reader matches names: blanks around them ignored, letter case too.
static bool Same(std::string_view a, std::string_view b) {
    return Folded(Trimmed(a)) == Folded(Trimmed(b));
}

// Names and values the format can hold, so that they are found again as written. The names are
// made of the alphabet below, whose only blanks are a space and a tab.
static bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    static const std::regex kSection("[^\\s\\]](?:[^\\]]*[^\\s\\]])?"),
        kKey("[^\\s=\\[;#](?:[^=]*[^\\s=])?"), kValue("(?!([\"']).*\\1$)\\S(?:.*\\S)?");
    return std::regex_match(section, kSection) && std::regex_match(key, kKey) &&
           std::regex_match(value, kValue);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    const auto byte = [&] { return at < size ? data[at++] : 0; };
    const auto name = [&] {
        // Letters whose cases meet only by both mappings: the Kelvin sign and k, final sigma.
        static const char32_t kAlphabet[] =
            U"aBkMm1 \t=[]\"';\u00E9\u00C9\u212A\u03A3\u03C2\U0001F600";
        std::string name;
        for (int length = byte() % 13; length > 0; --length)
            AppendChar(name, kAlphabet[byte() % 20]);
        return name;
    };
    const std::string section = name(), key = name(), value = name();
    const int operation = byte() % 3;
    const std::string_view file(reinterpret_cast<const char*>(data + at), size - at);
    const ProfileEncoding encoding = ProfileEncodingOf(file);
    const std::string text = ProfileTextOf(file, encoding);
    const std::vector<std::string> sections = ProfileSectionNames(text);
    std::vector<std::tuple<std::string, std::string, std::optional<std::string>>> entries;
    std::set<std::string> seen; // a later section of the same name is never read
    for (const std::string& s : sections)
        if (seen.insert(Folded(s)).second)
            for (const std::string& k :
                 ProfileKeyNames(text, s).value_or(std::vector<std::string>()))
                if (entries.size() < 200)
                    entries.emplace_back(s, k, ProfileValue(text, s, k));

    std::string edited =
        operation == 1 ? RemoveProfileKey(text, section, key) : RemoveProfileSection(text, section);
    if (operation == 0) {
        if (!Writable(section, key, value) ||
            !ProfileEncodingHolds(section + key + value, encoding))
            return 0;
        edited = SetProfileValue(text, section, key, value, encoding);
        Check(ProfileValue(edited, section, key) == value, "fuzz_profile: stored value lost");
    }
    std::vector<std::string> expected = sections;
    const auto found = std::find_if(expected.begin(), expected.end(),
                                    [&](const std::string& s) { return Same(s, section); });
    operation == 0 && found == expected.end()   ? expected.push_back(section)
    : operation == 2 && found != expected.end() ? void(expected.erase(found))
                                                : void();
    Check(ProfileSectionNames(edited) == expected, "fuzz_profile: section list changed");
    for (const auto& [s, k, v] : entries)
        Check((Same(s, section) && (operation == 2 || Same(k, key))) ||
                  ProfileValue(edited, s, k) == v,
              "fuzz_profile: another key changed");
    Check(ProfileFileOf(text, encoding) != file ||
              ProfileTextOf(ProfileFileOf(edited, encoding), encoding) == edited,
          "fuzz_profile: the edit changed when written back");
    return 0;
}
