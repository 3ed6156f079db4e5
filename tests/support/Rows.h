#pragma once
// What every table of named rows needs: a failing row shows by its name, and the name, its
// characters other than letters and digits made "_", names the row in the test's own name.

#include <cctype>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace testsupport {

template <class Row> std::string RowName(const testing::TestParamInfo<Row>& info) {
    std::string name = info.param.name;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
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
