// SPDX-License-Identifier: MIT
// How icatlas-find writes hits and records on the terminal: one heading, then columns as wide as
// the catalogue needs, texts as stored (the plain hits are read where several parts answer).
#include "find/output.hpp"
#include "matching/matching.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::matching::findPart;
using icatlas::matching::PartKey;
using testing_support::byLabel;

struct HitsTextCase {
    const char *label;
    std::string_view part;
    const char *text;
};

const auto kHitsTexts = std::to_array<HitsTextCase>({
    {"shown_as_typed_and_as_stored", "qcpm-8893",
     "qcpm-8893: 2 places in 2 models\n"
     "  3100   DCT4  PA IC 1           QCPM-8893\n"
     "  6100   DCT4  PA IC 1           QCPM-8893\n"},
    {"one_place_trailing_blank_kept", "4350297 ",
     "4350297 : 6 places in 6 models\n"
     "  6310   DCT4  PA IC 1           4350297\n"
     "  6510   DCT4  PA IC 1           4350297\n"
     "  8310   DCT4  PA IC 1           4350297\n"
     "  8910   DCT4  PA IC 1           4350297\n"
     "  8910I  DCT4  PA IC 1           4350297\n"
     "  7650   WD2   PA IC 1           4350297 \n"},
});

class HitsText : public ::testing::TestWithParam<HitsTextCase> { };

TEST_P(HitsText, ReadsAsOneHeadingThenOneLinePerBox)
{
    const auto key = PartKey::from(GetParam().part);
    ASSERT_TRUE(key.has_value());
    std::ostringstream out;
    icatlas::find::writeHits(out, GetParam().part, findPart(*key));
    EXPECT_EQ(out.str(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Find, HitsText, ::testing::ValuesIn(kHitsTexts), byLabel);

// Every box under its title, the titles in one column, blanks said, a trailing blank kept.
TEST(Find, ModelReadsAsOneLinePerBox)
{
    std::ostringstream out;
    icatlas::find::writeModel(out, *ComponentCatalogue::findByModel("3210"));
    EXPECT_EQ(out.str(),
              "Phone Model       3210\n"
              "PA IC 1           PF01420B \n"
              "PA IC 2           PF04110B\n"
              "PA IC 3           BGY252\n"
              "PA IC 4           BGY262\n"
              "RF IC 1           CRFU3 \n"
              "RF IC 2           SUMMA\n"
              "POWER IC (UEM) 1  CCONT \n"
              "POWER IC (UEM) 2  TEA1210TS\n"
              "UPP 1             (blank)\n"
              "UPP 2             (blank)\n"
              "FLASH IC 1        F160B3TA\n"
              "FLASH IC 2        M28W160BT\n"
              "RAM IC 1          HY62U8100B\n"
              "RAM IC 2          KM68U1000ELTGI\n"
              "RAM IC 3          KM68FS1000TGI\n");
}

} // namespace
