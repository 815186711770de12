// SPDX-License-Identifier: MIT
// A table-driven test's rows shown by their label: in a failure's report and as each case's name.
#pragma once

#include <ostream>
#include <string>

namespace testing_support {

template <class Row>
concept Labelled = requires(const Row &row)
{
    row.label;
};

// GoogleTest prints a parameter with the PrintTo its namespace offers: a test file's rows are
// printed by label once it says `using testing_support::PrintTo;` beside them.
template <Labelled Row> void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.label;
}

// Each case named by its row's label.
inline constexpr auto byLabel = [](const auto &info) { return std::string(info.param.label); };

} // namespace testing_support
