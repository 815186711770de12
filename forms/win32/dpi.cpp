// SPDX-License-Identifier: MIT
// DPI, window sizes and pictures for the Win32 realisation.
#include "forms/win32/dpi.hpp"

#include "forms/win32/wide.hpp"

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
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
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

std::wstring pictureResourceName(std::string_view picture, int factor)
{
    const std::size_t slash = picture.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? picture : picture.substr(slash + 1));
    if (factor > 1) {
        const std::size_t dot = name.rfind('.');
        name.insert(dot == std::string::npos ? name.size() : dot,
                    "@" + std::to_string(factor) + "x");
    }
    return widen(name);
}

void drawPicture(HDC dc, const RECT &target, HBITMAP bitmap)
{
    BITMAP info {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) {
        return;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (width == info.bmWidth && height == info.bmHeight) {
        BitBlt(dc, target.left, target.top, width, height, source, 0, 0, SRCCOPY);
    } else {
        const int mode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, target.left, target.top, width, height, source, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
        SetStretchBltMode(dc, mode);
    }
    SelectObject(source, previous);
    DeleteDC(source);
}

} // namespace forms::win32
