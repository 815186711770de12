// SPDX-License-Identifier: MIT
// The Win32 realisation's screen density and scale: the DPI of the monitor a window is on, the
// window size that gives a client area, the room a monitor offers, and the definition's pictures
// at a DPI and scale. Calls that older Windows lacks are found at run time.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

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

// The name of the bitmap resource of a definition's picture: the picture's file name, and for
// `factor` 2 its "@2x" variant ("banner.bmp", "banner@2x.bmp").
[[nodiscard]] std::wstring pictureResourceName(std::string_view picture, int factor);

// Draws a bitmap stretched over `target`, smoothed.
void drawPicture(HDC dc, const RECT &target, HBITMAP bitmap);

} // namespace forms::win32
