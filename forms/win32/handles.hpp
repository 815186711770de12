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

// A handle released by `release` (a function, called through the constant) when it goes.
template <class Handle, auto release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>,
                              std::integral_constant<decltype(release), release>>;

using FontHandle = Owned<HFONT, DeleteObject>;

// A counted COM pointer, released when it goes: the Windows SDK's own, which mingw-w64 ships too.
using Microsoft::WRL::ComPtr;

// An entry of a system module found at run time, or null where the system is older than it.
template <class Function> Function entryOf(HMODULE module, const char *name)
{
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the documented way to call it
    return module != nullptr
        ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)))
        : nullptr;
}

// The font a control draws its text in; null for the system's.
inline HGDIOBJ fontOf(HWND control)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle the message answers with
    return reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// An object selected into a device context, and the one before it put back when it goes.
struct Deselector {
    HDC dc;
    void operator()(HGDIOBJ previous) const noexcept { SelectObject(dc, previous); }
};
using Selection = std::unique_ptr<void, Deselector>;
inline Selection select(HDC dc, HGDIOBJ object)
{
    return {object != nullptr ? SelectObject(dc, object) : nullptr, Deselector {dc}};
}

// A window's device context, given back when it goes: the client area's, or the whole window's
// (its frame included). With a font, that font is selected and the one before it put back first.
enum class DcArea : std::uint8_t { Client, Window };
class WindowDc {
public:
    explicit WindowDc(HWND window, HGDIOBJ font = nullptr, DcArea area = DcArea::Client)
        : m_dc(area == DcArea::Window ? GetWindowDC(window) : GetDC(window), Releaser {window})
        , m_font(select(m_dc.get(), font))
    {
    }

    [[nodiscard]] HDC get() const { return m_dc.get(); }

private:
    struct Releaser {
        HWND window;
        void operator()(HDC dc) const noexcept { ReleaseDC(window, dc); }
    };
    std::unique_ptr<HDC__, Releaser> m_dc; // given back after the font is put back
    Selection m_font;
};

} // namespace forms::win32
