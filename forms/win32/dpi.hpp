// SPDX-License-Identifier: MIT
// The Win32 realisation's screen density and scale: the DPI of the monitor a window is on, the
// window size that gives a client area and the room a monitor offers. Calls that older Windows
// lacks are found at run time.
#pragma once

#include <windows.h>

namespace forms::win32 {

inline constexpr unsigned kDesignDpi = 96;

// The DPI the window is drawn at: its monitor's, for a process aware of each monitor's DPI; for
// null, the system's.
[[nodiscard]] unsigned windowDpi(HWND window);

// The outer size of a window with these styles whose client area is `client`, at `dpi`.
[[nodiscard]] SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle, unsigned dpi);

// The part of the window's monitor that windows may use (the screen less the taskbar); for null,
// the primary monitor's.
[[nodiscard]] RECT workAreaOf(HWND window);

} // namespace forms::win32
