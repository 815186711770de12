// SPDX-License-Identifier: MIT
// The main window's code: a click on a model button selects that button's model, and a listener
// using a screen reader hears what the boxes now hold; the find row goes to models the same way.
#include "ui/main_window.hpp"

#include "catalogue/selection.hpp"
#include "forms/core/form.hpp"
#include "ui/find_row.hpp"

#include <stdexcept>
#include <string>

namespace icatlas::ui {

namespace {

// The model, then each part that is not blank by its box's name ("6310I: PA IC 1 PF08125B, RF
// IC 1 MJOELNER, ..."): sixteen boxes changed at once, and the focus stays on the button.
std::string pressSummary(const ModelRecord &record)
{
    const auto texts = record.boxTexts();
    std::string summary(texts[0]);
    summary += ':';
    const char *separator = " ";
    for (std::size_t i = 1; i < kBoxCount; ++i) {
        if (texts[i].find_first_not_of(' ') == std::string_view::npos) {
            continue;
        }
        const forms::ControlDefinition *box = forms::findDefinition(kForm1Controls, kBoxNames[i]);
        summary.append(separator).append(box->accessibleName).append(" ").append(texts[i]);
        separator = ", ";
    }
    return summary;
}

} // namespace

void connectClickHandlers(forms::Form &form)
{
    const auto select = [&form](const ModelRecord &record) {
        SelectModel(form, record);
        form.announce(pressSummary(record));
    };
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        if (!form.onClick(record.button, [select, &record] { select(record); })) {
            // The definition and the catalogue are built from the same table; a miss is a bug.
            throw std::logic_error("the window has no button " + std::string(record.button));
        }
    }
    // The find row goes to a model the way its button does.
    bindFindRow(form, select);
}

} // namespace icatlas::ui
