// SPDX-License-Identifier: MIT
// Where the open find row's parts lie, worked by hand from its twips: 15 twips a pixel at 96 DPI
// and scale 1, 10 at 144 DPI, 30 at 96 DPI and scale 0.5, halves rounded away from zero.
#include "forms/core/find_row.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <array>

namespace {

struct Client {
    int width;
    int height; // the row's included
    int rowHeight;
    double dpi;
    double scale;
};

struct PlaceCase {
    const char *label;
    Client client;
    std::array<int, 12> parts; // left, top, width, height of the row, the field and the answer
};

// The form is 9600 twips wide in every case.
const auto kPlaces = std::to_array<PlaceCase>({
    {"centred_at_the_foot",
     {700, 541, 41, 96, 1.0},
     {30, 500, 640, 41, 8, 8, 177, 25, 192, 0, 442, 41}},
    {"at_144_dpi_halves_round_up",
     {1000, 700, 62, 144, 1.0},
     {20, 638, 960, 62, 12, 12, 266, 38, 288, 0, 663, 62}},
    {"narrower_than_the_row_both_ends_cut_alike",
     {300, 200, 21, 96, 0.5},
     {-10, 179, 320, 21, 4, 4, 89, 13, 96, 0, 221, 21}},
});

class FindRowPlaces : public testing::TestWithParam<PlaceCase> { };

TEST_P(FindRowPlaces, LieAsWorkedByHand)
{
    const Client &client = GetParam().client;
    const auto [row, field, answer] = forms::findRowPlace(
        client.width, client.height, client.rowHeight, 9600, client.dpi, client.scale);
    const std::array<int, 12> parts {row.left,    row.top,    row.width,    row.height,
                                     field.left,  field.top,  field.width,  field.height,
                                     answer.left, answer.top, answer.width, answer.height};
    EXPECT_EQ(parts, GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(Rows, FindRowPlaces, testing::ValuesIn(kPlaces), testing_support::byLabel);

} // namespace
