// SPDX-License-Identifier: MIT
// Owners of the GDI, COM and USER objects the Win32 realisation takes, each released with the call
// its kind needs, on every path.
#pragma once

#include <windows.h>

#include <wrl/client.h>

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

// A loaded module, freed when it goes.
struct ModuleDeleter {
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

// A menu made for one popup, destroyed when it goes.
struct MenuDeleter {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

} // namespace forms::win32
