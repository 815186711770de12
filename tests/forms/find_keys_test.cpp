// SPDX-License-Identifier: MIT
// The find row's keys: what each does where the focus is, and what stays the toolkit's own.
#include "forms/core/find_row.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

using forms::FindAction;
using forms::FindKey;
using forms::FocusOn;

struct KeyCase {
    const char *label;
    FindKey key;
    bool control;
    bool shift;
    FocusOn focus;
    bool rowOpen;
    std::optional<FindAction> action;
};

const auto kKeys = std::to_array<KeyCase>({
    {"ctrl_f_opens_from_a_button", FindKey::F, true, false, FocusOn::Button, false,
     FindAction::OpenFind},
    {"ctrl_f_opens_from_a_box", FindKey::F, true, false, FocusOn::TextBox, false,
     FindAction::OpenFind},
    {"f_alone_types", FindKey::F, false, false, FocusOn::TextBox, false, std::nullopt},
    {"esc_closes_the_open_row", FindKey::Escape, false, false, FocusOn::FindField, true,
     FindAction::CloseFind},
    {"esc_closes_from_a_button_while_open", FindKey::Escape, false, false, FocusOn::Button, true,
     FindAction::CloseFind},
    {"esc_does_nothing_while_closed", FindKey::Escape, false, false, FocusOn::Button, false,
     std::nullopt},
    {"enter_in_the_field_goes_on", FindKey::Enter, false, false, FocusOn::FindField, true,
     FindAction::Next},
    {"shift_enter_in_the_field_goes_back", FindKey::Enter, false, true, FocusOn::FindField, true,
     FindAction::Previous},
    {"enter_on_a_button_still_presses_it", FindKey::Enter, false, false, FocusOn::Button, true,
     std::nullopt},
    {"f3_goes_on_from_anywhere_while_open", FindKey::F3, false, false, FocusOn::Button, true,
     FindAction::Next},
    {"shift_f3_goes_back", FindKey::F3, false, true, FocusOn::FindField, true,
     FindAction::Previous},
    {"f3_does_nothing_while_closed", FindKey::F3, false, false, FocusOn::Button, false,
     std::nullopt},
    {"arrows_move_between_buttons", FindKey::Up, false, false, FocusOn::Button, false,
     FindAction::MoveUp},
    {"arrows_in_a_box_move_its_cursor", FindKey::Left, false, false, FocusOn::TextBox, false,
     std::nullopt},
    {"shift_arrow_on_a_button_is_not_a_move", FindKey::Right, false, true, FocusOn::Button, false,
     std::nullopt},
    {"ctrl_c_on_a_button_copies_its_record", FindKey::C, true, false, FocusOn::Button, false,
     FindAction::CopyRecord},
    {"ctrl_c_in_a_box_copies_its_selection", FindKey::C, true, false, FocusOn::TextBox, false,
     std::nullopt},
    {"menu_key_on_a_box", FindKey::Menu, false, false, FocusOn::TextBox, false,
     FindAction::ContextMenu},
    {"shift_f10_on_a_box", FindKey::F10, false, true, FocusOn::TextBox, false,
     FindAction::ContextMenu},
    {"f10_alone_stays_the_desktops", FindKey::F10, false, false, FocusOn::TextBox, false,
     std::nullopt},
});

class FindKeys : public testing::TestWithParam<KeyCase> { };

TEST_P(FindKeys, DoWhatTheirRuleSays)
{
    const KeyCase &row = GetParam();
    EXPECT_EQ(forms::findKeyAction(row.key, row.control, row.shift, row.focus, row.rowOpen),
              row.action);
}

INSTANTIATE_TEST_SUITE_P(Rows, FindKeys, testing::ValuesIn(kKeys),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
