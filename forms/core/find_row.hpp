// SPDX-License-Identifier: MIT
// A window's find row as the runtime offers it to the program: a field opened with a text and
// closed again, marks on controls, one line of answer; and the arrow keys' walk over the buttons
// as they lie on the screen. Toolkit-free: each realisation draws the row; its keys are in the
// form's key table (forms/core/keys.hpp).
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/keys.hpp"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace forms {

enum class FindStep : std::uint8_t { Next, Previous };

// What the program does as the row is used. Any may be empty.
struct FindHandlers {
    std::function<void(std::string_view text)> edited; // after every change of the field's text
    std::function<void(FindStep)> stepped;
    std::function<void()> closed;
    // What Ctrl+C on a focused button puts on the clipboard; empty: the key does nothing there.
    std::function<std::string(std::string_view control)> copied;
};

// A control marked as found, and what assistive technology adds to its name for it.
struct Mark {
    std::string_view control;
    std::string description;
};

// The row as both realisations lay it out, in twips as the form's controls are given: a field as
// high as a component box, and an answer of up to two lines of the smaller caption size.
inline constexpr Twips kFindRowHeight = 615;
inline constexpr Twips kFindRowInset = 120;
inline constexpr Twips kFindFieldWidth = 2655;
inline constexpr Twips kFindFieldHeight = 375;
inline constexpr Twips kFindAnswerLeft = 2880;
inline constexpr Twips kFindAnswerWidth = 6630;
inline constexpr double kFindAnswerFontFactor = 825.0 / 975.0; // 8.25 pt beside the form's 9.75 pt

inline constexpr std::string_view kFindFieldName = "Find a part";
// The item a component box's context menu gains, above the box's standard items.
inline constexpr std::string_view kFindMenuItem = "Find models with this part";

// How long typing must pause before the answer line is announced, so that a listener hears the
// answer to what was typed and not one for every key.
inline constexpr std::chrono::milliseconds kAnnouncePause {500};

class FindRow {
public:
    FindRow() = default;
    virtual ~FindRow() = default;
    FindRow(const FindRow &) = delete;
    FindRow &operator=(const FindRow &) = delete;
    FindRow(FindRow &&) = delete;
    FindRow &operator=(FindRow &&) = delete;

    virtual void bind(FindHandlers handlers) = 0;

    // Opens the row (the window grows by it) with `text` in the field, all of it selected, and
    // the focus there; `edited` follows when the text changes. Open already: only the text.
    virtual void open(std::string_view text) = 0;
    // Closes the row, takes every mark away, and gives the focus back to where it was when the
    // row opened; the window is as designed again.
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;

    // Marks exactly these controls, unmarking all others.
    virtual void mark(std::span<const Mark> marks) = 0;
    // Shows the answer line now; it is announced once typing has paused for kAnnouncePause.
    virtual void showAnswer(std::string_view line) = 0;
};

enum class Direction : std::uint8_t { Left, Right, Up, Down };

// The step a key's action takes through the matches; nothing for any other action.
[[nodiscard]] constexpr std::optional<FindStep> stepOf(KeyAction action)
{
    if (action == KeyAction::Next) {
        return FindStep::Next;
    }
    return action == KeyAction::Previous ? std::optional(FindStep::Previous) : std::nullopt;
}

// The way an arrow key's action moves the focus; nothing for any other action.
[[nodiscard]] constexpr std::optional<Direction> directionOf(KeyAction action)
{
    switch (action) {
    case KeyAction::MoveLeft:
        return Direction::Left;
    case KeyAction::MoveRight:
        return Direction::Right;
    case KeyAction::MoveUp:
        return Direction::Up;
    case KeyAction::MoveDown:
        return Direction::Down;
    default:
        return std::nullopt;
    }
}

// The button the arrow key moves to from the button `from`, as the buttons lie in the window
// (frames included): Left and Right along its row, no further than its ends; Up and Down to the
// nearest row above or below, in this frame or the next, to the button whose middle is nearest
// (the left one of two as near). Nothing at an edge, or when `from` is no button.
[[nodiscard]] const ControlDefinition *neighbour(std::span<const ControlDefinition> controls,
                                                 std::string_view from, Direction direction);

} // namespace forms
