// SPDX-License-Identifier: MIT
// The keys a form answers beyond what its toolkit's controls and dialog keys do themselves, as one
// table: each realisation maps its key events onto these keys and hands them to FindRow::act.
#pragma once

#include "forms/core/definition.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace forms {

// The keys the table knows; any other is Other. Enter is the main keys' and the keypad's alike.
enum class Key : std::uint8_t {
    Enter,
    Escape,
    C,
    F,
    Q,
    W,
    F3,
    F10,
    Menu,
    Left,
    Right,
    Up,
    Down,
    Other
};

// The modifiers held, as bits: keypad is not a modifier here.
enum Modifiers : std::uint8_t {
    kNoModifier = 0,
    kShift = 1U << 0U,
    kControl = 1U << 1U,
    kAlt = 1U << 2U,
    kMeta = 1U << 3U, // the logo key
};

struct KeyPress {
    Key key = Key::Other;
    std::uint8_t modifiers = kNoModifier;
};

// Where the focus is when a key is pressed.
enum class FocusOn : std::uint8_t { Button, TextBox, FindField, Other };

// Where the focus is on `control`, a form's own control or none.
[[nodiscard]] constexpr FocusOn focusOn(const ControlDefinition *control)
{
    return control == nullptr                         ? FocusOn::Other
        : control->kind == ControlKind::CommandButton ? FocusOn::Button
        : control->kind == ControlKind::TextBox       ? FocusOn::TextBox
                                                      : FocusOn::Other;
}

// Whether a rule holds only while the find row is open, only while it is closed, or either way.
enum class WhileFind : std::uint8_t { Either, Open, Closed };

enum class KeyAction : std::uint8_t {
    PressFocusedButton, // the same click Space gives, once per press
    Close, // the window, as its close button does
    Ignore, // swallowed: Esc would otherwise close the window by accident and lose the boxes' texts
    OpenFind,
    CloseFind,
    Next,
    Previous,
    MoveLeft,
    MoveRight,
    MoveUp,
    MoveDown,
    CopyRecord,
    ContextMenu,
};

struct KeyRule {
    Key key;
    std::uint8_t modifiers; // exactly these held
    std::optional<FocusOn> focus; // none: wherever the focus is
    WhileFind find;
    KeyAction action;
};

// Ctrl+Q quits and Ctrl+W closes a window on every Linux desktop; with one window both close it.
// No two rules match the same press, so their order does not matter. Shift+Enter on a button,
// F10 alone, a letter alone and the arrows in a box keep the toolkit's meaning.
inline constexpr auto kKeyRules = std::to_array<KeyRule>({
    {Key::Enter, kNoModifier, FocusOn::Button, WhileFind::Either, KeyAction::PressFocusedButton},
    {Key::Enter, kNoModifier, FocusOn::FindField, WhileFind::Open, KeyAction::Next},
    {Key::Enter, kShift, FocusOn::FindField, WhileFind::Open, KeyAction::Previous},
    {Key::Q, kControl, std::nullopt, WhileFind::Either, KeyAction::Close},
    {Key::W, kControl, std::nullopt, WhileFind::Either, KeyAction::Close},
    {Key::Escape, kNoModifier, std::nullopt, WhileFind::Closed, KeyAction::Ignore},
    {Key::Escape, kNoModifier, std::nullopt, WhileFind::Open, KeyAction::CloseFind},
    {Key::F, kControl, std::nullopt, WhileFind::Either, KeyAction::OpenFind},
    {Key::F3, kNoModifier, std::nullopt, WhileFind::Open, KeyAction::Next},
    {Key::F3, kShift, std::nullopt, WhileFind::Open, KeyAction::Previous},
    {Key::Left, kNoModifier, FocusOn::Button, WhileFind::Either, KeyAction::MoveLeft},
    {Key::Right, kNoModifier, FocusOn::Button, WhileFind::Either, KeyAction::MoveRight},
    {Key::Up, kNoModifier, FocusOn::Button, WhileFind::Either, KeyAction::MoveUp},
    {Key::Down, kNoModifier, FocusOn::Button, WhileFind::Either, KeyAction::MoveDown},
    {Key::C, kControl, FocusOn::Button, WhileFind::Either, KeyAction::CopyRecord},
    {Key::Menu, kNoModifier, FocusOn::TextBox, WhileFind::Either, KeyAction::ContextMenu},
    {Key::F10, kShift, FocusOn::TextBox, WhileFind::Either, KeyAction::ContextMenu},
});

// What the form does with `press` where the focus is, the find row open or not; nothing: the
// focused control and the toolkit's own keys (Tab, Space on a button) have it.
[[nodiscard]] constexpr std::optional<KeyAction> keyAction(KeyPress press, FocusOn focus,
                                                           bool findOpen)
{
    const auto *found = std::ranges::find_if(kKeyRules, [&](const KeyRule &rule) {
        return rule.key == press.key && rule.modifiers == press.modifiers
            && (!rule.focus || *rule.focus == focus)
            && (rule.find == WhileFind::Either || (rule.find == WhileFind::Open) == findOpen);
    });
    return found != kKeyRules.end() ? std::optional(found->action) : std::nullopt;
}

} // namespace forms
