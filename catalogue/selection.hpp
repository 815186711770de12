// SPDX-License-Identifier: MIT
// Model selection: what a click on a model button does to the window.
#pragma once

#include "catalogue/catalogue.hpp"

namespace forms {
class Form;
}

namespace icatlas {

// Writes the record into the form's sixteen boxes, Text1 to Text16 in that order, each write
// replacing the box's whole text (a blank slot clears its box). A failed write raises
// forms::RunTimeError at that box: the boxes before it hold the new texts, the ones after it keep
// their old texts, and no reference stays held.
void SelectModel(forms::Form &form, const ModelRecord &record);

} // namespace icatlas
