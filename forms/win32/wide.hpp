// SPDX-License-Identifier: MIT
// Texts between the runtime's UTF-8 and the UTF-16 of Windows' wide-character calls, and the one
// reader of a window's text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace forms::win32 {

[[nodiscard]] std::wstring widen(std::string_view text);
[[nodiscard]] std::string narrow(std::wstring_view text);

// The text a window holds now, whole.
[[nodiscard]] std::wstring textOf(HWND window);

} // namespace forms::win32
