#pragma once
// What every table of named rows needs: a failing row shows by its name, and the name, each run
// of characters other than letters and digits made one "_", names the row in the test's own name.

#include <gtest/gtest.h>
#include <ostream>
#include <regex>
#include <string>

namespace testsupport {

inline std::string RowName(const std::string& text) {
    const std::string name = std::regex_replace(text, std::regex("[^A-Za-z0-9]+"), "_");
    return std::regex_replace(name, std::regex("^_|_$"), "");
}

template <class Row> std::string RowName(const testing::TestParamInfo<Row>& info) {
    return RowName(std::string(info.param.name));
}

// A table's file brings this in, with `using testsupport::operator<<;`, into the namespace
// of its rows, where GoogleTest's printer finds it.
template <class Row>
requires requires(Row row) {
    row.name;
}
std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << row.name;
}

} // namespace testsupport
