// SPDX-License-Identifier: MIT
// What the main window must show and do, whichever runtime realises it: the places of a few
// controls worked out by hand, the focus order, the texts a click writes, and the boxes that
// refuse a write. Toolkit-free, so the Qt and the Win32 window tests check the same rows.
#pragma once

#include "catalogue/catalogue.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct PixelCase {
    const char *label;
    std::string_view control;
    // In device pixels at 96 DPI and a scale of 1, from the control's container.
    int x;
    int y;
    int width;
    int height;
};

// A few controls in device pixels, worked out by hand from their twips.
inline constexpr auto kPixels = std::to_array<PixelCase>({
    {"banner_above_the_client_area", "Image1", 8, -8, 101, 92},
    {"title", "Label10", 112, 0, 257, 33},
    {"dct3_frame", "Frame1", 8, 80, 577, 97},
    {"last_button_in_its_frame", "Command42", 232, 24, 49, 25},
    {"model_box", "Text1", 96, 368, 49, 19},
    {"last_ram_box", "Text16", 520, 464, 113, 25},
});

// Focus order by tab index: the frames' buttons in place order (Command25 opens WD2), then the
// model box and the component boxes column by column.
inline std::vector<std::string> focusOrder()
{
    std::vector<std::string> order;
    for (int n = 1; n <= 24; ++n) {
        order.push_back("Command" + std::to_string(n));
    }
    for (int n = 26; n <= 38; ++n) {
        order.push_back("Command" + std::to_string(n));
    }
    order.emplace_back("Command25");
    for (int n = 39; n <= 42; ++n) {
        order.push_back("Command" + std::to_string(n));
    }
    for (int n = 1; n <= 16; ++n) {
        order.push_back("Text" + std::to_string(n));
    }
    return order;
}

// The sixteen texts a click on the record's button leaves in the boxes, Text1 first.
inline std::array<std::string, 16> expectedTexts(const icatlas::ModelRecord &record)
{
    std::array<std::string, 16> texts;
    const auto source = record.boxTexts();
    std::copy(source.begin(), source.end(), texts.begin());
    return texts;
}

struct RefusalCase {
    const char *label;
    int box; // 1..16, the box that refuses (its 3510I text is not blank) or is gone
    bool gone; // the box's control was destroyed
    const char *shown; // what the report says
};

// Each is tried with a click on Command24 (3510I).
inline constexpr auto kRefusals = std::to_array<RefusalCase>({
    {"model_box_refuses", 1, false, "Run-time error '380'"},
    {"pa_box_refuses", 3, false, "Run-time error '380'"},
    {"ram_box_refuses", 15, false, "Run-time error '380'"},
    {"power_box_is_gone", 9, true, "Run-time error '424'"},
    {"last_box_is_gone", 16, true, "Run-time error '424'"},
});

} // namespace testing_support
