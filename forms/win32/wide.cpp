// SPDX-License-Identifier: MIT
// UTF-8 to UTF-16 and back, through Windows' own conversions, and a window's text.
#include "forms/win32/wide.hpp"

namespace forms::win32 {

// A UTF-16 text has no more units than its UTF-8 has bytes, and its UTF-8 at most three bytes to
// a unit (four to a surrogate pair): each conversion writes into that room at once.
std::wstring widen(std::string_view text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

std::string narrow(std::wstring_view text)
{
    std::string narrowed(text.size() * 3, '\0');
    narrowed.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrowed.data(),
                            static_cast<int>(narrowed.size()), nullptr, nullptr)));
    return narrowed;
}

std::wstring textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace forms::win32
