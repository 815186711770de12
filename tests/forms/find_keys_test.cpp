// SPDX-License-Identifier: MIT
// The find row's keys: what each does where the focus is, and what stays the toolkit's own.
#include "forms/core/find_row.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

using forms::FocusOn;
using forms::Key;
using forms::KeyAction;

struct KeyCase {
    const char *label;
    Key key;
    bool control;
    bool shift;
    FocusOn focus;
    bool rowOpen;
    std::optional<KeyAction> action;
};

const auto kKeys = std::to_array<KeyCase>({
    {"ctrl_f_opens_from_a_button", Key::F, true, false, FocusOn::Button, false,
     KeyAction::OpenFind},
    {"ctrl_f_opens_from_a_box", Key::F, true, false, FocusOn::TextBox, false, KeyAction::OpenFind},
    {"f_alone_types", Key::F, false, false, FocusOn::TextBox, false, std::nullopt},
    {"esc_closes_the_open_row", Key::Escape, false, false, FocusOn::FindField, true,
     KeyAction::CloseFind},
    {"esc_closes_from_a_button_while_open", Key::Escape, false, false, FocusOn::Button, true,
     KeyAction::CloseFind},
    {"esc_does_nothing_while_closed", Key::Escape, false, false, FocusOn::Button, false,
     std::nullopt},
    {"enter_in_the_field_goes_on", Key::Enter, false, false, FocusOn::FindField, true,
     KeyAction::Next},
    {"shift_enter_in_the_field_goes_back", Key::Enter, false, true, FocusOn::FindField, true,
     KeyAction::Previous},
    {"enter_on_a_button_still_presses_it", Key::Enter, false, false, FocusOn::Button, true,
     std::nullopt},
    {"f3_goes_on_from_anywhere_while_open", Key::F3, false, false, FocusOn::Button, true,
     KeyAction::Next},
    {"shift_f3_goes_back", Key::F3, false, true, FocusOn::FindField, true, KeyAction::Previous},
    {"f3_does_nothing_while_closed", Key::F3, false, false, FocusOn::Button, false, std::nullopt},
    {"arrows_move_between_buttons", Key::Up, false, false, FocusOn::Button, false,
     KeyAction::MoveUp},
    {"arrows_in_a_box_move_its_cursor", Key::Left, false, false, FocusOn::TextBox, false,
     std::nullopt},
    {"shift_arrow_on_a_button_is_not_a_move", Key::Right, false, true, FocusOn::Button, false,
     std::nullopt},
    {"ctrl_c_on_a_button_copies_its_record", Key::C, true, false, FocusOn::Button, false,
     KeyAction::CopyRecord},
    {"ctrl_c_in_a_box_copies_its_selection", Key::C, true, false, FocusOn::TextBox, false,
     std::nullopt},
    {"menu_key_on_a_box", Key::Menu, false, false, FocusOn::TextBox, false, KeyAction::ContextMenu},
    {"shift_f10_on_a_box", Key::F10, false, true, FocusOn::TextBox, false, KeyAction::ContextMenu},
    {"f10_alone_stays_the_desktops", Key::F10, false, false, FocusOn::TextBox, false, std::nullopt},
});

class FindKeys : public testing::TestWithParam<KeyCase> { };

TEST_P(FindKeys, DoWhatTheirRuleSays)
{
    const KeyCase &row = GetParam();
    EXPECT_EQ(forms::keyAction(row.key, row.control, row.shift, row.focus, row.rowOpen),
              row.action);
}

INSTANTIATE_TEST_SUITE_P(Rows, FindKeys, testing::ValuesIn(kKeys),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
