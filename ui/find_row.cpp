// SPDX-License-Identifier: MIT
// The find row's handlers: the state answers, the row shows and marks (see find_row.hpp).
#include "ui/find_row.hpp"

#include "forms/core/find_row.hpp"
#include "ui/find_state.hpp"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace icatlas::ui {

namespace {

// What a marked box adds to its name for a screen reader.
constexpr std::string_view kFoundBox = "Holds the part found";

void showState(forms::FindRow &row, const FindState &state)
{
    std::vector<forms::Mark> marks;
    for (const ModelRecord *record : state.matches()) {
        marks.push_back({record->button, state.description(*record)});
    }
    for (const std::string_view box : state.currentBoxes()) {
        marks.push_back({box, std::string(kFoundBox)});
    }
    row.mark(marks);
    row.showAnswer(state.line());
}

const ModelRecord *recordOfButton(std::string_view button)
{
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        if (record.button == button) {
            return &record;
        }
    }
    return nullptr;
}

} // namespace

void bindFindRow(forms::Form &form, std::function<void(const ModelRecord &)> select)
{
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
            [row, state, select = std::move(select)](forms::FindStep step) {
                const ModelRecord *record
                    = step == forms::FindStep::Next ? state->next() : state->previous();
                if (record != nullptr) {
                    select(*record);
                }
                showState(*row, *state);
            },
        .closed = [state] { state->setQuery({}); },
        .copied =
            [](std::string_view control) {
                const ModelRecord *record = recordOfButton(control);
                return record != nullptr ? recordText(*record) : std::string();
            },
    });
}

} // namespace icatlas::ui
