// SPDX-License-Identifier: MIT
// The keys a form answers beyond what its toolkit's controls and dialog keys do themselves, as one
// table: Enter presses the focused button as Space does, the keys that close a single-window
// program on a desktop close it, and Esc does nothing. Each realisation maps its key events onto
// these keys and does what the table says.
#pragma once

#include <array>
#include <cstdint>

namespace forms {

// The keys the table knows; any other is Other. Enter is the main keys' and the keypad's alike.
enum class Key : std::uint8_t { Enter, Escape, Q, W, Other };

// The modifiers held, as bits: keypad is not a modifier here.
enum Modifiers : std::uint8_t {
    kNoModifier = 0,
    kShift = 1U << 0U,
    kControl = 1U << 1U,
    kAlt = 1U << 2U,
    kMeta = 1U << 3U, // the logo key
};

enum class KeyAction : std::uint8_t {
    Pass, // to the focused control and the toolkit's own keys (Tab, Shift+Tab, Space on a button)
    PressFocusedButton, // the same click Space gives, once per press
    Close, // the window, as its close button does
    Ignore, // swallowed: Esc would otherwise close the window by accident and lose the boxes' texts
};

struct KeyRule {
    Key key;
    std::uint8_t modifiers; // exactly these held
    bool onButtonOnly; // only while a button has the focus
    KeyAction action;
};

// Ctrl+Q quits and Ctrl+W closes a window on every Linux desktop; with one window both close it.
// Shift+Enter and the like keep whatever meaning they have (none here).
inline constexpr std::array<KeyRule, 4> kKeyRules {{
    {Key::Enter, kNoModifier, true, KeyAction::PressFocusedButton},
    {Key::Q, kControl, false, KeyAction::Close},
    {Key::W, kControl, false, KeyAction::Close},
    {Key::Escape, kNoModifier, false, KeyAction::Ignore},
}};

// What the form does with `key` pressed with `modifiers` held: the first rule that matches, else
// Pass.
[[nodiscard]] constexpr KeyAction keyAction(Key key, std::uint8_t modifiers, bool focusOnButton)
{
    for (const KeyRule &rule : kKeyRules) {
        if (rule.key == key && rule.modifiers == modifiers
            && (focusOnButton || !rule.onButtonOnly)) {
            return rule.action;
        }
    }
    return KeyAction::Pass;
}

} // namespace forms
