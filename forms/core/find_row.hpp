// SPDX-License-Identifier: MIT
// A window's find row as the runtime offers it (a field, marks on controls, a line of answer) and
// the arrow keys' walk over the buttons as they lie; toolkit-free, each realisation draws the row.
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
#include <utility>
#include <vector>

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

// The row's height in twips, as the form's controls are given; its parts lie as findRowPlace says.
inline constexpr Twips kFindRowHeight = 615;
inline constexpr double kFindAnswerFontFactor = 825.0 / 975.0; // 8.25 pt beside the form's 9.75 pt

inline constexpr std::string_view kFindFieldName = "Find a part";
// The item a component box's context menu gains, above the box's standard items.
inline constexpr std::string_view kFindMenuItem = "Find models with this part";

// How long typing must pause before the answer line is announced, so that a listener hears the
// answer to what was typed and not one for every key.
inline constexpr std::chrono::milliseconds kAnnouncePause {500};

enum class Direction : std::uint8_t { Left, Right, Up, Down };

// The row's rules and state (below), kept alike by both realisations; a realisation makes the
// widgets, draws the marks and routes the events.
class FindRow {
public:
    virtual ~FindRow() = default;
    FindRow(const FindRow &) = delete;
    FindRow &operator=(const FindRow &) = delete;
    FindRow(FindRow &&) = delete;
    FindRow &operator=(FindRow &&) = delete;

    void bind(FindHandlers handlers) { m_handlers = std::move(handlers); }

    // Opens the row (the window grows by it) with `text` in the field, all of it selected, and
    // the focus there; `edited` follows when the text changes. Open already: only the text.
    virtual void open(std::string_view text) = 0;
    // Closes the row, takes every mark away, and gives the focus back to where it was when the
    // row opened; the window is as designed again.
    virtual void close() = 0;
    [[nodiscard]] bool isOpen() const { return m_open; }

    // Marks exactly these controls, unmarking all others.
    virtual void mark(std::span<const Mark> marks) = 0;
    // Shows the answer line now; it is announced once typing has paused for kAnnouncePause.
    virtual void showAnswer(std::string_view line) = 0;

    // The controls marked now, by name, in the order they were marked.
    [[nodiscard]] std::vector<std::string> marked() const;
    // The controls given a mark's description for assistive technology now, with it.
    [[nodiscard]] std::vector<std::pair<std::string, std::string>> described() const;

protected:
    // A control marked, or given a description for assistive technology, with it.
    struct Marked {
        const ControlDefinition *control;
        std::string description;
    };
    // What a change of marks asks the realisation to draw again.
    struct MarkChange {
        std::vector<const ControlDefinition *> gone;
        std::vector<const ControlDefinition *> added;
    };

    explicit FindRow(std::span<const ControlDefinition> controls)
        : m_controls(controls)
    {
    }

    // Does what a find key's action asks with `focused` (a control of the form, or none) focused,
    // through the realisation's own steps below; false when the action does nothing here.
    bool act(KeyAction action, const ControlDefinition *focused);
    // A step, made as a click's handler is run.
    virtual void step(FindStep step) = 0;
    virtual void focus(const ControlDefinition &button) = 0;
    [[nodiscard]] virtual std::string fieldText() const = 0;
    virtual void copy(std::string_view text) = 0; // onto the clipboard
    // Opens a box's context menu at its middle; false when it has none.
    virtual bool openMenu(const ControlDefinition &box) = 0;

    // Keeps exactly the marks on controls the form has, in the order given.
    MarkChange takeMarks(std::span<const Mark> marks);
    [[nodiscard]] std::span<const Marked> currentMarks() const { return m_marks; }
    // At a pause in typing, not at every key, so that a screen reader is not flooded with changes
    // it would then prune: each marked control's description and each control no longer marked
    // its own again, only where that changes what the control has now.
    std::vector<Marked> describe();
    // Takes the answer line shown now; true when it is to be announced at the next pause.
    bool takeAnswer(std::string_view line);
    // The answer to announce at the pause: the pending one, unless it was the last announced (a
    // step to a model does not repeat it).
    std::optional<std::string> announcement();
    void setOpen(bool open); // closing forgets the answers

    void edited(std::string_view text) const;
    void closed() const;

    FindHandlers m_handlers;

private:
    [[nodiscard]] bool isMarked(const ControlDefinition *control) const;
    bool moveFocus(const ControlDefinition *from, Direction direction);

    std::span<const ControlDefinition> m_controls;
    std::vector<Marked> m_marks;
    std::vector<Marked> m_given; // the controls described now, with what they were given
    std::string m_pending;
    std::string m_announced;
    bool m_open = false;
};

// Where the open row's parts lie in pixels: the row centred under the controls at the foot of a
// client area `clientWidth` x `clientHeight` (the row's `height` included) of a form
// `designedWidth` twips wide; the field and the answer line from the row's corner.
struct PixelRect {
    int left;
    int top;
    int width;
    int height;
};
struct FindRowPlace {
    PixelRect row;
    PixelRect field;
    PixelRect answer;
};
[[nodiscard]] FindRowPlace findRowPlace(int clientWidth, int clientHeight, int height,
                                        Twips designedWidth, double dpi, double scale);

// The button the arrow key moves to from the button `from`, as the buttons lie in the window
// (frames included): Left and Right along its row, no further than its ends; Up and Down to the
// nearest row above or below, in this frame or the next, to the button whose middle is nearest
// (the left one of two as near). Nothing at an edge, or when `from` is no button.
[[nodiscard]] const ControlDefinition *neighbour(std::span<const ControlDefinition> controls,
                                                 std::string_view from, Direction direction);

} // namespace forms
