// SPDX-License-Identifier: MIT
// The catalogue as its callers see it: look-ups by button, model and family, and every record
// against the published table, so that each trailing blank, the longest texts and the models that
// share their parts are held to the letter (each family's order is icatlas-find's listing's). The
// table's shape (each button once, families together, text lengths, box names and titles) is
// checked where it is written, at compile time.
#include "catalogue/catalogue.hpp"

#include "tests/support/window_expectations.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::ModelRecord;

// Every record as a technician reads it off the window, Text1 to Text16: the one table of the
// catalogue's published texts, which the window's promises are held to as well.
TEST(Catalogue, EachButtonAndModelYieldItsSixteenBoxTextsExactly)
{
    EXPECT_EQ(ComponentCatalogue::records().size(), testing_support::kClicks.size());
    for (const testing_support::ClickCase &row : testing_support::kClicks) {
        const ModelRecord *record = ComponentCatalogue::findByButton(row[0]);
        ASSERT_NE(record, nullptr) << row[0];
        EXPECT_EQ(ComponentCatalogue::findByModel(row[1]), record) << row[1];
        const auto texts = record->boxTexts();
        EXPECT_EQ(std::vector<std::string_view>(texts.begin(), texts.end()),
                  std::vector<std::string_view>(row.begin() + 1, row.end()))
            << row[0];
    }
}

class NoSuchButton : public ::testing::TestWithParam<std::string_view> { };

TEST_P(NoSuchButton, LookUpSaysThereIsNone)
{
    EXPECT_EQ(ComponentCatalogue::findByButton(GetParam()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, NoSuchButton,
                         ::testing::Values("", "Command0", "Command43", "command1", "Command01",
                                           "Command1 ", "Text1", "Frame1", "6310I"),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

} // namespace
