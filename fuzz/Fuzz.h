#pragma once
// What the fuzz drivers share: GLib, the text helpers of their references, and the abort that
// reports a broken property.
#include <glib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// The character in UTF-8, encoded by GLib (U+0000 too).
inline void AppendChar(std::string& out, gunichar c) {
    char bytes[6];
    out.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(c, bytes)));
}

inline void Check(bool holds, const char* what, const std::string& input = "") {
    if (!holds) {
        std::fprintf(stderr, "%s for \"%.200s\"\n", what, input.c_str());
        std::abort();
    }
}
