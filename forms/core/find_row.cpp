// SPDX-License-Identifier: MIT
// The arrow keys' walk over a window's buttons, from the places its definition gives them.
#include "forms/core/find_row.hpp"

#include <cstdlib>

namespace forms {

namespace {

struct Place {
    Twips left;
    Twips top;
};

// Where a control lies in the window's client area: its frame's corner plus its own place.
Place placeOf(std::span<const ControlDefinition> controls, const ControlDefinition &control)
{
    Place place {control.left, control.top};
    if (const ControlDefinition *frame = findDefinition(controls, control.container)) {
        place.left += frame->left;
        place.top += frame->top;
    }
    return place;
}

} // namespace

const ControlDefinition *neighbour(std::span<const ControlDefinition> controls,
                                   std::string_view from, Direction direction)
{
    const ControlDefinition *start = findDefinition(controls, from);
    if (start == nullptr || start->kind != ControlKind::CommandButton) {
        return nullptr;
    }
    const Place here = placeOf(controls, *start);
    const Twips middle = here.left + start->width / 2;
    const bool along = direction == Direction::Left || direction == Direction::Right;
    const bool forward = direction == Direction::Right || direction == Direction::Down;
    const ControlDefinition *best = nullptr;
    Place bestPlace {};
    for (const ControlDefinition &control : controls) {
        if (control.kind != ControlKind::CommandButton || &control == start) {
            continue;
        }
        const Place there = placeOf(controls, control);
        if (along) {
            // The same row, on the side pressed, the nearest first.
            const Twips gap = forward ? there.left - here.left : here.left - there.left;
            const Twips bestGap = best == nullptr
                ? 0
                : (forward ? bestPlace.left - here.left : here.left - bestPlace.left);
            if (there.top == here.top && gap > 0 && (best == nullptr || gap < bestGap)) {
                best = &control;
                bestPlace = there;
            }
            continue;
        }
        const Twips rise = forward ? there.top - here.top : here.top - there.top;
        if (rise <= 0) {
            continue;
        }
        if (best == nullptr) {
            best = &control;
            bestPlace = there;
            continue;
        }
        const Twips bestRise = forward ? bestPlace.top - here.top : here.top - bestPlace.top;
        const Twips off = std::abs(there.left + control.width / 2 - middle);
        const Twips bestOff = std::abs(bestPlace.left + best->width / 2 - middle);
        if (rise < bestRise
            || (rise == bestRise
                && (off < bestOff || (off == bestOff && there.left < bestPlace.left)))) {
            best = &control;
            bestPlace = there;
        }
    }
    return best;
}

} // namespace forms
