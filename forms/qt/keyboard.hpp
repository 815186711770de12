// SPDX-License-Identifier: MIT
// The keys a form's window answers beyond the toolkit's own: Enter presses the focused button as
// Space does, and the keys that close a single-window program on a Linux desktop close it.
#pragma once

#include <span>

class QWidget;

namespace forms {

// Binds the keys for `window` and its `controls` (the widgets the form made, which Enter presses
// where they are buttons); the bindings live as long as the window. Esc stays unbound: one stray
// press would close the window and lose what the boxes hold.
void bindKeys(QWidget *window, std::span<QWidget *const> controls);

} // namespace forms
