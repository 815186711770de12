// SPDX-License-Identifier: MIT
// Texts between the runtime's UTF-8 and the UTF-16 of Windows' wide-character calls, through
// Windows' own conversions, and the one reader of a window's text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace forms::win32 {

// A UTF-16 text has no more units than its UTF-8 has bytes, and its UTF-8 at most three bytes to
// a unit (four to a surrogate pair): each conversion writes into that room at once.
[[nodiscard]] inline std::wstring widen(std::string_view text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

[[nodiscard]] inline std::string narrow(std::wstring_view text)
{
    std::string narrowed(text.size() * 3, '\0');
    narrowed.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrowed.data(),
                            static_cast<int>(narrowed.size()), nullptr, nullptr)));
    return narrowed;
}

// The text a window holds now, whole.
[[nodiscard]] inline std::wstring textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace forms::win32
