// SPDX-License-Identifier: MIT
// The main window's only code: a click on a model button selects that button's model.
#include "ui/main_window.hpp"

#include "catalogue/selection.hpp"
#include "forms/form.hpp"

#include <stdexcept>
#include <string>

namespace icatlas::ui {

void connectClickHandlers(forms::Form &form)
{
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        if (!form.onClick(record.button, [&form, &record] { SelectModel(form, record); })) {
            // The definition and the catalogue are built from the same table; a miss is a bug.
            throw std::logic_error("the window has no button " + std::string(record.button));
        }
    }
}

} // namespace icatlas::ui
