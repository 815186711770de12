// SPDX-License-Identifier: MIT
// A window's find row as the runtime offers it (a field, marks on controls, a line of answer) and
// the arrow keys' walk over the buttons as they lie; toolkit-free, each realisation draws the row.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/keys.hpp"

#include <chrono>
#include <cstdint>
#include <functional>
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

class Form;

// The steps of the form's own keys that the realisation takes as it can.
struct KeySteps {
    std::function<void()> pressFocusedButton; // as Space does, going down and coming up alike
    std::function<void()> closeWindow; // as its close button does
};

// The row's rules and state, kept alike by both realisations; a realisation makes the widgets,
// draws the marks and routes the events, as the steps it is asked for below.
class FindRow {
public:
    virtual ~FindRow() = default;
    FindRow(const FindRow &) = delete;
    FindRow &operator=(const FindRow &) = delete;
    FindRow(FindRow &&) = delete;
    FindRow &operator=(FindRow &&) = delete;

    void bind(FindHandlers handlers) { m_handlers = std::move(handlers); }

    // Opens the row (the window grows by it) with `text` in the field, all of it selected, and
    // the focus there; `edited` follows, the same text found again (Ctrl+F after Esc: the marks
    // went with the row). Open already: only the text.
    void open(std::string_view text);
    // Closes the row, takes every mark away, and gives the focus back to where it was when the
    // row opened; the window is as designed again.
    void close();
    [[nodiscard]] bool isOpen() const { return m_open; }
    // The pixels the open row adds under the controls at the form's scale now; 0 when closed.
    [[nodiscard]] int addedHeight() const;

    // Marks exactly these controls, unmarking all others.
    void mark(std::span<const Mark> marks);
    // Shows the answer line now; it is announced once typing has paused for kAnnouncePause.
    void showAnswer(std::string_view line);

    // A control marked, or given a description for assistive technology, with it.
    struct Marked {
        const ControlDefinition *control;
        std::string description;
    };
    // The controls marked now, in the order they were marked.
    [[nodiscard]] std::span<const Marked> currentMarks() const { return m_marks; }
    // The controls given a mark's description for assistive technology now.
    [[nodiscard]] std::span<const Marked> described() const { return m_given; }

protected:
    // What a change of marks asks the realisation to draw again.
    struct MarkChange {
        std::vector<const ControlDefinition *> gone;
        std::vector<const ControlDefinition *> added;
    };

    // The row of `form`, made from `definition`; the answer is announced through the form.
    FindRow(Form &form, const FormDefinition &definition)
        : m_form(form)
        , m_definition(definition)
    {
    }

    // Does what the key table asks of `press` going down (or, with `down` false, up) with the
    // focus `where` on `focused` (a control of the form, or none), through `steps` and the
    // steps below; false where the focused control and the toolkit's own keys keep the key.
    bool act(KeyPress press, FocusOn where, const ControlDefinition *focused, bool down,
             const KeySteps &steps);
    // The field's text changed: what was typed is found, what the row set itself is not twice.
    void typed(std::string_view text) const;
    // At the end of the pause in typing, not at every key, so that a screen reader is not
    // flooded with changes it would then prune: the marks' descriptions are given, and the
    // answer announced unless it was the last announced (a step to a model does not repeat it).
    void paused();
    // Where the open row's parts lie in a client area of `width` x `height` pixels.
    [[nodiscard]] FindRowPlace place(int width, int height) const;

    // What a realisation does as the rules above ask.
    [[nodiscard]] virtual double dpi() const = 0;
    [[nodiscard]] virtual double scale() const = 0; // the factor the controls are laid out at
    // Makes the row's controls when first opened (hidden); false when they could not be made.
    virtual bool make() = 0;
    virtual void show(bool shown) = 0; // the row's controls, laid out first when shown
    // Grows the window by `height` pixels (shrinks it where negative), its least size with it;
    // the controls keep the client area above the row.
    virtual void grow(int height) = 0;
    // Sets the field's text, all of it selected, and gives the field the focus.
    virtual void setField(std::string_view text) = 0;
    [[nodiscard]] virtual std::string fieldText() const = 0;
    virtual void setAnswer(std::string_view line) = 0;
    virtual void pause(bool start) = 0; // starts the pause in typing again, or stops it
    virtual void redraw(const MarkChange &change) = 0;
    // Gives a control the description assistive technology adds to its name.
    virtual void describe(const ControlDefinition &control, std::string_view description) = 0;
    [[nodiscard]] virtual const ControlDefinition *focused() const = 0; // none: not a control
    virtual void focus(const ControlDefinition *control) = 0; // none: the window itself
    // Runs a handler as a click's handler is run.
    virtual void runAsClick(const std::function<void()> &handler) = 0;
    virtual void copy(std::string_view text) = 0; // onto the clipboard
    // Opens a box's context menu at its middle; false when it has none.
    virtual bool openMenu(const ControlDefinition &box) = 0;

private:
    [[nodiscard]] bool isMarked(const ControlDefinition *control) const;
    // Each marked control's description and each control no longer marked its own again, only
    // where that changes what the control has now.
    void giveDescriptions();

    Form &m_form;
    const FormDefinition &m_definition;
    FindHandlers m_handlers;
    std::vector<Marked> m_marks;
    std::vector<Marked> m_given; // the controls described now, with what they were given
    std::string m_pending; // the answer shown now, to be announced at the pause
    std::string m_announced;
    const ControlDefinition *m_focusBefore = nullptr; // where the focus goes back on closing
    bool m_open = false;
    bool m_settingText = false; // the field's text is being set by the row, not typed
};

// The button an arrow key's `move` (MoveLeft to MoveDown) goes to from the button `from`, as the
// buttons lie in the window (frames included): left and right along its row, no further than its
// ends; up and down to the nearest row above or below, in this frame or the next, to the button
// whose middle is nearest (the left one of two as near). Nothing at an edge, or when `from` is no
// button.
[[nodiscard]] const ControlDefinition *neighbour(std::span<const ControlDefinition> controls,
                                                 std::string_view from, KeyAction move);

} // namespace forms
