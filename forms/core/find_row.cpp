// SPDX-License-Identifier: MIT
// The find row's state and geometry, and the arrow keys' walk over the buttons (find_row.hpp).
#include "forms/core/find_row.hpp"

#include "forms/core/form.hpp"
#include "forms/core/scaling.hpp"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>

namespace forms {

namespace {

struct Place {
    Twips left;
    Twips top;
};

// Where a control lies in the window's client area: its frame's corner plus its own place.
Place placeOf(std::span<const ControlDefinition> controls, const ControlDefinition &control)
{
    const ControlDefinition *frame = findDefinition(controls, control.container);
    return frame == nullptr ? Place {control.left, control.top}
                            : Place {frame->left + control.left, frame->top + control.top};
}

} // namespace

void FindRow::open(std::string_view text)
{
    if (!isOpen()) {
        if (!make()) {
            return;
        }
        m_focusBefore = focused();
        m_open = true;
        grow(addedHeight());
        show(true);
    }
    m_settingText = true;
    setField(text);
    m_settingText = false;
    typed(text); // the same text again is found again
}

void FindRow::close()
{
    if (!isOpen()) {
        return;
    }
    mark({});
    giveDescriptions();
    pause(false);
    // The focus goes back before the field it may be in is hidden.
    focus(m_focusBefore);
    show(false);
    const int added = addedHeight();
    m_open = false; // closing forgets the answers
    m_pending.clear();
    m_announced.clear();
    grow(-added);
}

int FindRow::addedHeight() const
{
    return isOpen() ? twipsToPixels(kFindRowHeight, dpi(), scale()) : 0;
}

FindRowPlace FindRow::place(int width, int height) const
{
    return findRowPlace(width, height, addedHeight(), m_definition.clientWidth, dpi(), scale());
}

void FindRow::mark(std::span<const Mark> marks)
{
    std::vector<Marked> now;
    for (const Mark &mark : marks) {
        if (const ControlDefinition *control
            = findDefinition(m_definition.controls, mark.control)) {
            now.push_back({control, mark.description});
        }
    }
    MarkChange change;
    for (const Marked &old : m_marks) {
        if (std::ranges::find(now, old.control, &Marked::control) == now.end()) {
            change.gone.push_back(old.control);
        }
    }
    for (const Marked &mark : now) {
        if (!isMarked(mark.control)) {
            change.added.push_back(mark.control);
        }
    }
    m_marks = std::move(now);
    redraw(change);
}

bool FindRow::isMarked(const ControlDefinition *control) const
{
    return std::ranges::find(m_marks, control, &Marked::control) != m_marks.end();
}

void FindRow::giveDescriptions()
{
    for (const Marked &given : m_given) {
        if (!isMarked(given.control)) {
            describe(*given.control, given.control->accessibleDescription);
        }
    }
    for (const Marked &mark : m_marks) {
        const auto given = std::ranges::find(m_given, mark.control, &Marked::control);
        const std::string_view has
            = given == m_given.end() ? mark.control->accessibleDescription : given->description;
        if (has != mark.description) {
            describe(*mark.control, mark.description);
        }
    }
    m_given = m_marks;
}

void FindRow::showAnswer(std::string_view line)
{
    if (!isOpen()) {
        return;
    }
    setAnswer(line);
    m_pending = line;
    pause(!m_pending.empty()); // each change starts the pause again
}

void FindRow::paused()
{
    pause(false);
    if (!isOpen()) {
        return;
    }
    giveDescriptions();
    if (!m_pending.empty() && m_pending != m_announced) {
        m_announced = m_pending;
        m_form.announce(m_announced);
    }
}

void FindRow::typed(std::string_view text) const
{
    if (!m_settingText && m_handlers.edited) {
        m_handlers.edited(text);
    }
}

bool FindRow::act(KeyPress press, FocusOn where, const ControlDefinition *focused, bool down,
                  const KeySteps &steps)
{
    const std::optional<KeyAction> action = keyAction(press, where, isOpen());
    if (action == KeyAction::PressFocusedButton) {
        steps.pressFocusedButton();
        return true;
    }
    if (action == KeyAction::Close || action == KeyAction::Ignore) {
        if (action == KeyAction::Close && down) {
            steps.closeWindow();
        }
        return true;
    }
    // The find's keys act as they go down; their release is the control's.
    if (!action || !down) {
        return false;
    }
    switch (*action) {
    case KeyAction::Next:
    case KeyAction::Previous:
        if (m_handlers.stepped) { // it selects as a click does
            const FindStep step = action == KeyAction::Next ? FindStep::Next : FindStep::Previous;
            runAsClick([this, step] { m_handlers.stepped(step); });
        }
        return true;
    case KeyAction::MoveLeft:
    case KeyAction::MoveRight:
    case KeyAction::MoveUp:
    case KeyAction::MoveDown: {
        const ControlDefinition *to = focused != nullptr
            ? neighbour(m_definition.controls, focused->name, *action)
            : nullptr;
        if (to != nullptr) {
            focus(to);
        }
        return true; // the arrow is taken at an edge too
    }
    case KeyAction::OpenFind:
        open(fieldText());
        return true;
    case KeyAction::CloseFind:
        close();
        return true;
    case KeyAction::CopyRecord: {
        const std::string text
            = focused != nullptr && m_handlers.copied ? m_handlers.copied(focused->name) : "";
        if (!text.empty()) {
            copy(text);
        }
        return !text.empty();
    }
    case KeyAction::ContextMenu:
        return focused != nullptr && openMenu(*focused);
    default: // the form's own keys, routed above
        return false;
    }
}

FindRowPlace findRowPlace(int clientWidth, int clientHeight, int height, Twips designedWidth,
                          double dpi, double scale)
{
    const auto px = [dpi, scale](Twips twips) { return twipsToPixels(twips, dpi, scale); };
    // In twips: a field as high as a component box, inset as the columns are, and beside it an
    // answer of up to two lines of the smaller caption size.
    const int fieldHeight = px(375);
    return {
        .row
        = {(clientWidth - px(designedWidth)) / 2, clientHeight - height, px(designedWidth), height},
        .field = {px(120), (height - fieldHeight) / 2, px(2655), fieldHeight},
        .answer = {px(2880), 0, px(6630), height},
    };
}

const ControlDefinition *neighbour(std::span<const ControlDefinition> controls,
                                   std::string_view from, KeyAction move)
{
    const ControlDefinition *start = findDefinition(controls, from);
    if (start == nullptr || start->kind != ControlKind::CommandButton) {
        return nullptr;
    }
    const Place here = placeOf(controls, *start);
    const Twips middle = here.left + start->width / 2;
    const bool along = move == KeyAction::MoveLeft || move == KeyAction::MoveRight;
    const bool forward = move == KeyAction::MoveRight || move == KeyAction::MoveDown;
    const ControlDefinition *best = nullptr;
    std::tuple<Twips, Twips, Twips> bestKey {};
    for (const ControlDefinition &control : controls) {
        if (control.kind != ControlKind::CommandButton || &control == start) {
            continue;
        }
        const Place there = placeOf(controls, control);
        const Twips gap = forward ? there.left - here.left : here.left - there.left;
        const Twips rise = forward ? there.top - here.top : here.top - there.top;
        // Along the same row, the nearest on the side pressed; else the nearest row that way, the
        // button whose middle is nearest, the left one of two as near.
        const bool onTheWay = along ? there.top == here.top && gap > 0 : rise > 0;
        const std::tuple<Twips, Twips, Twips> key = along
            ? std::tuple(gap, 0, 0)
            : std::tuple(rise, std::abs(there.left + control.width / 2 - middle), there.left);
        if (onTheWay && (best == nullptr || key < bestKey)) {
            best = &control;
            bestKey = key;
        }
    }
    return best;
}

} // namespace forms
