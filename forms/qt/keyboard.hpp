// SPDX-License-Identifier: MIT
// The keys a form's window answers beyond the toolkit's own, as the core's key table says: Qt's
// key events mapped onto it.
#pragma once

#include <span>

class QWidget;

namespace forms {

// Binds the keys for `window` and its `controls` (the widgets the form made, which Enter presses
// where they are buttons);
// the bindings live as long as the window.
void bindKeys(QWidget *window, std::span<QWidget *const> controls);

} // namespace forms
