// SPDX-License-Identifier: MIT
// UTF-8 to UTF-16 and back, through Windows' own conversions, and a window's text.
#include "forms/win32/wide.hpp"

namespace forms::win32 {

std::wstring widen(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string narrow(std::wstring_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::string narrowed(static_cast<std::size_t>(WideCharToMultiByte(
                             CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
                         '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrowed.data(),
                        static_cast<int>(narrowed.size()), nullptr, nullptr);
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
