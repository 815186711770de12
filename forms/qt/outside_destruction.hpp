// SPDX-License-Identifier: MIT
// A form's window destroyed by another program ends the program, as closing it does.
#pragma once

class QWidget;

namespace forms {

// On X any client may destroy any window (`xdotool windowclose`, a session tool); Qt carries on
// with no window, and the program would run on with nothing on screen. From this call on, the
// event loop ends (status 0) when `window`'s native window is destroyed by someone else. Nothing
// is watched on other platforms, where only the program itself can destroy its windows.
void endWhenDestroyedFromOutside(QWidget *window);

} // namespace forms
