// SPDX-License-Identifier: MIT
// A Win32 key message as the core's key table names it, for every window of the form that routes
// keys by that table.
#pragma once

#include "forms/core/keys.hpp"

#include <windows.h>

namespace forms::win32 {

// The virtual key of a WM_KEYDOWN or WM_SYSKEYDOWN, with the modifiers held as the message was
// taken from the queue (GetKeyState). Keypad Enter is VK_RETURN too.
[[nodiscard]] KeyPress keyPress(WPARAM virtualKey);

} // namespace forms::win32
