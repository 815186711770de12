// SPDX-License-Identifier: MIT
// The blank and ignorable character tables against the Unicode character database as Debian's
// unicode-data package ships it: every code point, in the release the tables name.
#include "text/unicode.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <bitset>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

namespace {

using testing_support::PrintTo;

constexpr char32_t kLastCodePoint = 0x10FFFF;
using CodePoints = std::bitset<kLastCodePoint + 1>;

struct Property {
    const char *file; // in ICATLAS_UNICODE_DATA
    const char *label; // the property's name there
    bool (*classifies)(char32_t);
};

// The code points a data file gives the property ("0009..000D ; White_Space # ..."), and the
// release named on its first line ("# PropList-15.0.0.txt").
struct Read {
    std::string release;
    std::unique_ptr<CodePoints> points = std::make_unique<CodePoints>();
    std::size_t lines = 0;
};

Read read(const std::string &path, std::string_view property)
{
    Read found;
    std::ifstream in(path);
    std::string line;
    if (std::getline(in, line)) {
        const std::size_t dash = line.rfind('-');
        const std::size_t dot = line.rfind(".txt");
        if (dash != std::string::npos && dot != std::string::npos && dot > dash) {
            found.release = line.substr(dash + 1, dot - dash - 1);
        }
    }
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        const std::size_t semicolon = line.find(';');
        if (semicolon == std::string::npos) {
            continue;
        }
        std::string name = line.substr(semicolon + 1);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        if (name != property) {
            continue;
        }
        const std::string range = line.substr(0, semicolon);
        const std::size_t dots = range.find("..");
        const unsigned long first = std::stoul(range, nullptr, 16);
        const unsigned long last
            = dots == std::string::npos ? first : std::stoul(range.substr(dots + 2), nullptr, 16);
        for (unsigned long c = first; c <= last && c <= kLastCodePoint; ++c) {
            found.points->set(c);
        }
        ++found.lines;
    }
    return found;
}

class UnicodeProperty : public ::testing::TestWithParam<Property> { };

TEST_P(UnicodeProperty, HoldsExactlyTheCodePointsOfTheDatabase)
{
    const Property &property = GetParam();
    const std::string path = std::string(ICATLAS_UNICODE_DATA) + "/" + property.file;
    const Read data = read(path, property.label);
    ASSERT_GT(data.lines, 0U) << "no " << property.label << " in " << path
                              << " (Debian's unicode-data package)";
    EXPECT_EQ(data.release, icatlas::text::kUnicodeVersion)
        << path << " is another release than the tables follow";
    std::size_t wrong = 0;
    for (char32_t c = 0; c <= kLastCodePoint && wrong < 10; ++c) {
        if (property.classifies(c) != data.points->test(c)) {
            ADD_FAILURE() << "U+" << std::hex << std::uppercase << static_cast<unsigned long>(c)
                          << (data.points->test(c) ? " has " : " lacks ") << property.label;
            ++wrong;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Matching, UnicodeProperty,
    ::testing::Values(Property {"PropList.txt", "White_Space", icatlas::text::isBlank},
                      Property {"DerivedCoreProperties.txt", "Default_Ignorable_Code_Point",
                                icatlas::text::isIgnorable}),
    testing_support::byLabel);

} // namespace
