// SPDX-License-Identifier: MIT
// The main window's find row bound to its state: each edit marks the models that hold the part,
// Enter and F3 go to them as a click would, Ctrl+C on a model button copies its record.
#pragma once

#include "catalogue/catalogue.hpp"
#include "forms/core/form.hpp"

#include <functional>

namespace icatlas::ui {

// Binds the form's find row, if it has one; `select` is what a click on the record's button does.
void bindFindRow(forms::Form &form, std::function<void(const ModelRecord &)> select);

} // namespace icatlas::ui
