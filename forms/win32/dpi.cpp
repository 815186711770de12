// SPDX-License-Identifier: MIT
// DPI and window sizes for the Win32 realisation.
#include "forms/win32/dpi.hpp"

#include "forms/win32/handles.hpp"

namespace forms::win32 {

namespace {

// A user32 entry that Windows 10 (1607) brought, or null on an older system.
template <class Function> Function user32Entry(const char *name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the documented way to call it
    return user32 != nullptr
        ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(user32, name)))
        : nullptr;
}

} // namespace

unsigned windowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
    static const auto getDpiForWindow = user32Entry<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return dpi;
        }
    }
    const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<unsigned>(dpi) : kDesignDpi;
}

SIZE windowSizeFor(SIZE client, DWORD style, DWORD exStyle, unsigned dpi)
{
    using AdjustFunction = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Entry<AdjustFunction>("AdjustWindowRectExForDpi");
    RECT rect {0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&rect, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT workAreaOf(HWND window)
{
    MONITORINFO info {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = window != nullptr ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                         : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (GetMonitorInfoW(monitor, &info) != FALSE) {
        return info.rcWork;
    }
    RECT area {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

} // namespace forms::win32
