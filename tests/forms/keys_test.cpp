// SPDX-License-Identifier: MIT
// The form's key table: what each key does where the focus is, the find row open or closed, and
// what stays the toolkit's own.
#include "forms/core/keys.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

namespace {

using forms::FocusOn;
using forms::kControl;
using forms::Key;
using forms::KeyAction;
using forms::kNoModifier;
using forms::kShift;
using testing_support::byLabel;

struct KeyCase {
    const char *label;
    Key key;
    unsigned modifiers;
    FocusOn focus;
    bool findOpen;
    std::optional<KeyAction> action;
};

constexpr bool kOpen = true;
constexpr bool kClosed = false;

const auto kKeys = std::to_array<KeyCase>({
    {"ctrl_f_opens_from_a_button", Key::F, kControl, FocusOn::Button, kClosed, KeyAction::OpenFind},
    {"ctrl_f_opens_from_a_box", Key::F, kControl, FocusOn::TextBox, kClosed, KeyAction::OpenFind},
    {"f_alone_types", Key::F, kNoModifier, FocusOn::TextBox, kClosed, std::nullopt},
    // AltGr is Ctrl+Alt on Windows: AltGr+F types a character on some layouts.
    {"altgr_f_types", Key::F, kControl | forms::kAlt, FocusOn::TextBox, kClosed, std::nullopt},
    {"esc_closes_the_open_row", Key::Escape, kNoModifier, FocusOn::FindField, kOpen,
     KeyAction::CloseFind},
    {"esc_closes_from_a_button_while_open", Key::Escape, kNoModifier, FocusOn::Button, kOpen,
     KeyAction::CloseFind},
    {"esc_is_swallowed_while_closed", Key::Escape, kNoModifier, FocusOn::Button, kClosed,
     KeyAction::Ignore},
    {"enter_in_the_field_goes_on", Key::Enter, kNoModifier, FocusOn::FindField, kOpen,
     KeyAction::Next},
    {"shift_enter_in_the_field_goes_back", Key::Enter, kShift, FocusOn::FindField, kOpen,
     KeyAction::Previous},
    {"enter_on_a_button_still_presses_it", Key::Enter, kNoModifier, FocusOn::Button, kOpen,
     KeyAction::PressFocusedButton},
    {"ctrl_w_closes_from_the_field", Key::W, kControl, FocusOn::FindField, kOpen, KeyAction::Close},
    {"f3_goes_on_from_anywhere_while_open", Key::F3, kNoModifier, FocusOn::Button, kOpen,
     KeyAction::Next},
    {"shift_f3_goes_back", Key::F3, kShift, FocusOn::FindField, kOpen, KeyAction::Previous},
    {"f3_does_nothing_while_closed", Key::F3, kNoModifier, FocusOn::Button, kClosed, std::nullopt},
    {"arrows_move_between_buttons", Key::Up, kNoModifier, FocusOn::Button, kClosed,
     KeyAction::MoveUp},
    {"arrows_in_a_box_move_its_cursor", Key::Left, kNoModifier, FocusOn::TextBox, kClosed,
     std::nullopt},
    {"shift_arrow_on_a_button_is_not_a_move", Key::Right, kShift, FocusOn::Button, kClosed,
     std::nullopt},
    {"ctrl_c_on_a_button_copies_its_record", Key::C, kControl, FocusOn::Button, kClosed,
     KeyAction::CopyRecord},
    {"ctrl_c_in_a_box_copies_its_selection", Key::C, kControl, FocusOn::TextBox, kClosed,
     std::nullopt},
    {"menu_key_on_a_box", Key::Menu, kNoModifier, FocusOn::TextBox, kClosed,
     KeyAction::ContextMenu},
    {"shift_f10_on_a_box", Key::F10, kShift, FocusOn::TextBox, kClosed, KeyAction::ContextMenu},
    {"f10_alone_stays_the_desktops", Key::F10, kNoModifier, FocusOn::TextBox, kClosed,
     std::nullopt},
});

class KeyRules : public testing::TestWithParam<KeyCase> { };

TEST_P(KeyRules, DoWhatTheirRuleSays)
{
    const KeyCase &row = GetParam();
    EXPECT_EQ(forms::keyAction({row.key, static_cast<std::uint8_t>(row.modifiers)}, row.focus,
                               row.findOpen),
              row.action);
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyRules, testing::ValuesIn(kKeys), byLabel);

// The first rule that matches wins: a second rule for the same press would never be reached.
TEST(KeyRuleTable, NoTwoRulesMatchTheSamePress)
{
    const auto &rules = forms::kKeyRules;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        for (std::size_t j = i + 1; j < rules.size(); ++j) {
            const forms::KeyRule &a = rules[i];
            const forms::KeyRule &b = rules[j];
            const bool sameFocus = !a.focus || !b.focus || *a.focus == *b.focus;
            const bool sameFind = a.find == forms::WhileFind::Either
                || b.find == forms::WhileFind::Either || a.find == b.find;
            EXPECT_FALSE(a.key == b.key && a.modifiers == b.modifiers && sameFocus && sameFind)
                << "rules " << i << " and " << j;
        }
    }
}

} // namespace
