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

using forms::KeyAction;
using testing_support::byLabel;

struct ArrowCase {
    const char *label;
    std::string_view from;
    KeyAction move;
    std::string_view to; // empty: the focus stays
};

const auto kArrows = std::to_array<ArrowCase>({
    {"right_along_the_row", "Command1", KeyAction::MoveRight, "Command2"},
    {"left_stops_at_the_rows_start", "Command1", KeyAction::MoveLeft, ""},
    {"right_stops_at_the_rows_end", "Command10", KeyAction::MoveRight, ""},
    {"left_over_the_numbers_gap", "Command26", KeyAction::MoveLeft, "Command24"},
    {"down_to_the_row_below", "Command1", KeyAction::MoveDown, "Command11"},
    {"down_to_the_nearest_of_a_shorter_row", "Command10", KeyAction::MoveDown, "Command17"},
    {"down_across_frames", "Command17", KeyAction::MoveDown, "Command24"},
    {"down_into_the_wd2_row", "Command38", KeyAction::MoveDown, "Command42"},
    {"up_across_frames", "Command25", KeyAction::MoveUp, "Command29"},
    {"up_stops_at_the_top", "Command1", KeyAction::MoveUp, ""},
    {"down_stops_at_the_bottom", "Command25", KeyAction::MoveDown, ""},
    {"a_box_is_no_button", "Text2", KeyAction::MoveUp, ""},
    {"an_unknown_name", "Command99", KeyAction::MoveUp, ""},
});

class ArrowKeys : public testing::TestWithParam<ArrowCase> { };

TEST_P(ArrowKeys, MoveAsTheButtonsLie)
{
    const ArrowCase &row = GetParam();
    const forms::ControlDefinition *to
        = forms::neighbour(icatlas::ui::kForm1Controls, row.from, row.move);
    EXPECT_EQ(to != nullptr ? to->name : std::string_view(), row.to);
}

INSTANTIATE_TEST_SUITE_P(Rows, ArrowKeys, testing::ValuesIn(kArrows), byLabel);

} // namespace
