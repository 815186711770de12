// SPDX-License-Identifier: MIT
// The keys a form's window answers beyond the toolkit's own: Enter presses the focused button as
// Space does, and the keys that close a single-window program on a Linux desktop close it.
#pragma once

class QWidget;

namespace forms {

// Binds the keys for `window` and everything in it; the bindings live as long as the window.
// Esc stays unbound: one stray press would close the window and lose what the boxes hold.
void bindKeys(QWidget *window);

} // namespace forms
