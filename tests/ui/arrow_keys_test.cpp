// SPDX-License-Identifier: MIT
// The arrow keys over Form1's buttons as they lie on the screen, worked by hand from the button
// table: rows of ten at Left 120 + 840k, DCT3's lower row of seven, WD2's one row of five.
#include "forms/core/find_row.hpp"
#include "ui/main_window.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace {

using forms::Direction;
using testing_support::byLabel;

struct ArrowCase {
    const char *label;
    std::string_view from;
    Direction direction;
    std::string_view to; // empty: the focus stays
};

const auto kArrows = std::to_array<ArrowCase>({
    {"right_along_the_row", "Command1", Direction::Right, "Command2"},
    {"left_stops_at_the_rows_start", "Command1", Direction::Left, ""},
    {"right_stops_at_the_rows_end", "Command10", Direction::Right, ""},
    {"left_over_the_numbers_gap", "Command26", Direction::Left, "Command24"},
    {"down_to_the_row_below", "Command1", Direction::Down, "Command11"},
    {"down_to_the_nearest_of_a_shorter_row", "Command10", Direction::Down, "Command17"},
    {"down_across_frames", "Command17", Direction::Down, "Command24"},
    {"down_into_the_wd2_row", "Command38", Direction::Down, "Command42"},
    {"up_across_frames", "Command25", Direction::Up, "Command29"},
    {"up_stops_at_the_top", "Command1", Direction::Up, ""},
    {"down_stops_at_the_bottom", "Command25", Direction::Down, ""},
    {"a_box_is_no_button", "Text2", Direction::Up, ""},
    {"an_unknown_name", "Command99", Direction::Up, ""},
});

class ArrowKeys : public testing::TestWithParam<ArrowCase> { };

TEST_P(ArrowKeys, MoveAsTheButtonsLie)
{
    const ArrowCase &row = GetParam();
    const forms::ControlDefinition *to
        = forms::neighbour(icatlas::ui::kForm1Controls, row.from, row.direction);
    EXPECT_EQ(to != nullptr ? to->name : std::string_view(), row.to);
}

INSTANTIATE_TEST_SUITE_P(Rows, ArrowKeys, testing::ValuesIn(kArrows), byLabel);

} // namespace
