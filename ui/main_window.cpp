// SPDX-License-Identifier: MIT
// The main window's code: a model button selects its model and a screen reader hears what the
// boxes now hold; the find row goes to models the same way.
#include "ui/main_window.hpp"

#include "catalogue/selection.hpp"
#include "forms/core/find_row.hpp"
#include "forms/core/form.hpp"
#include "matching/matching.hpp"
#include "ui/find_state.hpp"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace icatlas::ui {

namespace {

void showState(forms::FindRow &row, const FindState &state)
{
    row.mark(state.marks());
    row.showAnswer(state.line());
}

} // namespace

void connectClickHandlers(forms::Form &form)
{
    const auto select = [&form](const ModelRecord &record) {
        SelectModel(form, record);
        // Sixteen boxes changed at once and the focus stays on the button: the model, then each
        // part that is not blank by its box's name ("6310I: PA IC 1 PF08125B, RF IC 1 ...").
        form.announce(std::string(record.model) + ": "
                      + matching::listed(filledBoxes(record, " "), ", ", std::identity()));
    };
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        if (!form.onClick(record.button, [select, &record] { select(record); })) {
            // The definition and the catalogue are built from the same table; a miss is a bug.
            throw std::logic_error("the window has no button " + std::string(record.button));
        }
    }
    // The find row, if the form has one: each edit marks the models that hold the part, Enter and
    // F3 go to them as a click on their button does, Ctrl+C on a model button copies its record.
    forms::FindRow *row = form.findRow();
    if (row == nullptr) {
        return;
    }
    // The state lives as long as the handlers, which the row keeps as long as the window.
    auto state = std::make_shared<FindState>();
    row->bind({
        .edited =
            [row, state](std::string_view text) {
                state->setQuery(text);
                showState(*row, *state);
            },
        .stepped =
            [row, state, select](forms::FindStep step) {
                if (const ModelRecord *record = state->step(step)) {
                    select(*record);
                }
                showState(*row, *state);
            },
        .copied =
            [](std::string_view control) {
                const ModelRecord *record = ComponentCatalogue::findByButton(control);
                return record != nullptr ? recordText(*record) : std::string();
            },
    });
}

} // namespace icatlas::ui
