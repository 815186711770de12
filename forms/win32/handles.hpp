// SPDX-License-Identifier: MIT
// Owners of the GDI, COM and USER objects the Win32 realisation takes, each released with the call
// its kind needs, on every path.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <wrl/client.h>

#include <cstdint>
#include <memory>
#include <type_traits>

namespace forms::win32 {

struct GdiObjectDeleter {
    void operator()(void *object) const noexcept { DeleteObject(static_cast<HGDIOBJ>(object)); }
};

using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

// A counted COM interface pointer, released when it goes: the Windows SDK's own, which mingw-w64
// ships too.
using Microsoft::WRL::ComPtr;

// A COM string, freed when it goes.
struct BstrDeleter {
    void operator()(BSTR text) const noexcept { SysFreeString(text); }
};
using BstrHandle = std::unique_ptr<OLECHAR, BstrDeleter>;

// A loaded module, freed when it goes.
struct ModuleDeleter {
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

// A window's device context, given back when it goes: the client area's, or with
// DcArea::Window the whole window's (its frame included). With a font, that font is selected
// and the one before it put back first.
enum class DcArea : std::uint8_t { Client, Window };
class WindowDc {
public:
    explicit WindowDc(HWND window, HGDIOBJ font = nullptr, DcArea area = DcArea::Client)
        : m_window(window)
        , m_dc(area == DcArea::Window ? GetWindowDC(window) : GetDC(window))
        , m_previous(font != nullptr ? SelectObject(m_dc, font) : nullptr)
    {
    }
    ~WindowDc()
    {
        if (m_previous != nullptr) {
            SelectObject(m_dc, m_previous);
        }
        ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    WindowDc(WindowDc &&) = delete;
    WindowDc &operator=(WindowDc &&) = delete;

    [[nodiscard]] HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A menu made for one popup, destroyed when it goes.
struct MenuDeleter {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

} // namespace forms::win32
