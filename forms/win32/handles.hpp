// SPDX-License-Identifier: MIT
// Owners of the GDI and COM objects the Win32 realisation takes, each released with the call its
// kind needs, on every path.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace forms::win32 {

struct GdiObjectDeleter {
    void operator()(void *object) const noexcept { DeleteObject(static_cast<HGDIOBJ>(object)); }
};

using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

// A counted COM interface pointer, released when it goes.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    ComPtr(ComPtr &&other) noexcept
        : m_object(std::exchange(other.m_object, nullptr))
    {
    }
    ComPtr &operator=(ComPtr &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }

    [[nodiscard]] T *get() const noexcept { return m_object; }
    T *operator->() const noexcept { return m_object; }
    [[nodiscard]] explicit operator bool() const noexcept { return m_object != nullptr; }
    // Where a creating call writes the pointer; whatever was held is released first.
    [[nodiscard]] T **put() noexcept
    {
        reset();
        return &m_object;
    }
    void reset() noexcept
    {
        if (m_object != nullptr) {
            std::exchange(m_object, nullptr)->Release();
        }
    }

private:
    T *m_object = nullptr;
};

// A loaded module, freed when it goes.
struct ModuleDeleter {
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

} // namespace forms::win32
