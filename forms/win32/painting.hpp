// SPDX-License-Identifier: MIT
// How a form's frames are drawn and what they pass on to the form.
#pragma once

#include <windows.h>

namespace forms::win32 {

// Makes `frame` draw itself as the classic group box in the colours `form` gives it, and hold its
// buttons as a dialog holds controls: what they tell their parent goes on to `form`.
void adoptFrame(HWND frame, HWND form);

} // namespace forms::win32
