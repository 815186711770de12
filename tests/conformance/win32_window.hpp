// SPDX-License-Identifier: MIT
// The promises suite's driver over the Win32 window under Wine, which the Win32 tests share with
// their plumbing: clicks as the buttons take them, keys and typing posted to the thread's queue and
// handled by the program's own loop (the form's keys, then the dialog keys), the error report
// closed as a user closes it, and a window's pixels as the screen shows them.
#pragma once

#include "tests/support/window_expectations.hpp"
#include "tests/windows/process.hpp"

#include "forms/core/keys.hpp"
#include "forms/win32/handles.hpp"
#include "forms/win32/win32_form.hpp"
#include "ui/main_window.hpp"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

inline std::string windowText(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()}; // the window's texts are ASCII
}

// A control's rectangle in its parent's client area.
inline RECT placeInParent(HWND control)
{
    RECT rect {};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

inline SIZE clientSize(HWND window)
{
    RECT client {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// A 32-bit top-down picture in memory, white, to draw into or copy the screen to.
class Canvas {
public:
    Canvas(int width, int height)
        : m_dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        m_bitmap.reset(CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        m_bits = {static_cast<const std::uint32_t *>(bits), m_bitmap ? count : 0};
        m_selected = forms::win32::select(m_dc.get(), m_bitmap.get());
        const RECT all {0, 0, width, height};
        FillRect(m_dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }

    [[nodiscard]] HDC dc() const { return m_dc.get(); }
    // Its pixels as 0xRRGGBB, top row first, once what was drawn into it is done.
    [[nodiscard]] std::vector<std::uint32_t> pixels() const
    {
        GdiFlush();
        std::vector<std::uint32_t> pixels(m_bits.size());
        std::ranges::transform(m_bits, pixels.begin(),
                               [](std::uint32_t p) { return p & 0xFFFFFFU; });
        return pixels;
    }

private:
    forms::win32::Owned<HDC, DeleteDC> m_dc;
    forms::win32::Owned<HBITMAP, DeleteObject> m_bitmap;
    forms::win32::Selection m_selected; // put back before the bitmap and the DC go
    std::span<const std::uint32_t> m_bits;
};

// What the screen shows of a window's client area, children and all.
inline std::vector<std::uint32_t> shownPixels(HWND window)
{
    RECT area {};
    GetClientRect(window, &area);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT *>(&area), 2);
    const Canvas copy(area.right - area.left, area.bottom - area.top);
    const forms::win32::WindowDc screen(nullptr);
    BitBlt(copy.dc(), 0, 0, area.right - area.left, area.bottom - area.top, screen.get(), area.left,
           area.top, SRCCOPY);
    return copy.pixels();
}

// The font a control draws its text in.
using forms::win32::fontOf;

// The face GDI chose for the font selected in `dc`.
inline std::string faceOf(HDC dc)
{
    std::array<wchar_t, LF_FACESIZE> face {};
    GetTextFaceW(dc, static_cast<int>(face.size()), face.data());
    return {face.begin(), std::find(face.begin(), face.end(), L'\0')}; // face names are ASCII
}

// Handles what is queued for the thread as the program's loop does; true when the loop was told
// to end (WM_QUIT).
inline bool pump(forms::Win32Form &form)
{
    MSG message {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            return true;
        }
        if (!form.translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return false;
}

// Ends the test program with what it was doing when a step hangs (a modal report nobody closes),
// well before ctest's timeout: a timer of the thread pool, as the step's own thread is stuck.
class HangGuard {
public:
    explicit HangGuard(std::string what)
        : m_what(std::move(what))
    {
        CreateTimerQueueTimer(&m_timer, nullptr, hung, &m_what, 30000, 0, WT_EXECUTEONLYONCE);
    }
    ~HangGuard() { DeleteTimerQueueTimer(nullptr, m_timer, INVALID_HANDLE_VALUE); }
    HangGuard(const HangGuard &) = delete;
    HangGuard &operator=(const HangGuard &) = delete;
    HangGuard(HangGuard &&) = delete;
    HangGuard &operator=(HangGuard &&) = delete;

private:
    static void CALLBACK hung(void *what, BOOLEAN /*timedOut*/)
    {
        std::fprintf(stderr, "hung for 30 s: %s\n",
                     static_cast<const std::string *>(what)->c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }

    std::string m_what;
    HANDLE m_timer = nullptr;
};

// Makes a box keep none of what it is given, as a box with a length limit of zero would.
inline LRESULT CALLBACK keepNothing(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR /*id*/, DWORD_PTR /*data*/)
{
    if (message == WM_SETTEXT && lParam != 0) {
        return DefSubclassProc(box, message, wParam, reinterpret_cast<LPARAM>(L""));
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

inline void refuseWrites(HWND box, bool gone)
{
    if (gone) {
        DestroyWindow(box);
    } else {
        SetWindowSubclass(box, keepNothing, 1, 0);
    }
}

// What the error report said; it is closed as the user would close it.
inline std::string g_reported;

// This thread's first top-level window of the class named; null when it has none.
inline HWND threadWindow(std::wstring_view className)
{
    return firstWindow([className](HWND window) {
        return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()
            && classOf(window) == className;
    });
}

inline void CALLBACK closeReport(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/)
{
    HWND report = threadWindow(L"#32770");
    if (report == nullptr || IsWindowVisible(report) == FALSE) {
        return;
    }
    EnumChildWindows(
        report,
        [](HWND child, LPARAM) -> BOOL {
            g_reported += windowText(child) + "\n";
            return TRUE;
        },
        0);
    KillTimer(nullptr, timer);
    PostMessageW(report, WM_COMMAND, IDOK, 0);
}

inline std::unique_ptr<forms::Win32Form> showMainWindow(unsigned dpi = 96)
{
    auto form = std::make_unique<forms::Win32Form>(icatlas::ui::kForm1, dpi);
    if (form->window() == nullptr) {
        return nullptr;
    }
    icatlas::ui::connectClickHandlers(*form);
    form->show();
    pump(*form);
    return form;
}

class Win32Window {
public:
    static constexpr std::string_view kName = "win32";

    explicit Win32Window(unsigned dpi = 96)
        : m_form(showMainWindow(dpi))
    {
        if (m_form != nullptr) {
            SetForegroundWindow(m_form->window()); // the keyboard's, for the keys and the menus
        }
    }

    [[nodiscard]] bool opened() const { return m_form != nullptr; }

    [[nodiscard]] std::optional<Place> place(std::string_view name) const
    {
        HWND control = m_form->handle(name);
        if (control == nullptr) {
            return std::nullopt;
        }
        const RECT at = placeInParent(control);
        HWND parent = GetParent(control);
        return Place {at.left, at.top, at.right - at.left, at.bottom - at.top,
                      parent == m_form->window() ? std::string() : nameOf(parent)};
    }

    [[nodiscard]] std::string text(std::string_view name) const
    {
        HWND control = m_form->handle(name);
        return control != nullptr ? windowText(control) : "(gone)";
    }

    // A mouse click as the button takes it (pressed and released over it).
    void click(std::string_view button)
    {
        SendMessageW(m_form->handle(button), BM_CLICK, 0, 0);
        pump(*m_form);
    }

    void type(std::string_view box, std::string_view text)
    {
        HWND edit = m_form->handle(box);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        typeHere(text);
    }

    // Typed where the focus is.
    void typeHere(std::string_view text)
    {
        for (const char c : text) {
            PostMessageW(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 1);
        }
        pump(*m_form);
    }

    void focus(std::string_view name) { SetFocus(m_form->handle(name)); }

    [[nodiscard]] std::string focused() const
    {
        HWND focus = GetFocus();
        return focus != nullptr ? nameOf(focus) : "(none)";
    }

    void tab(bool back) { key(VK_TAB, back); }

    bool press(const KeyCase &row)
    {
        constexpr std::array<WPARAM, 6> keys {VK_SPACE, VK_RETURN, VK_RETURN, VK_ESCAPE, 'Q', 'W'};
        return key(keys.at(static_cast<std::size_t>(row.key)), row.shift, row.control,
                   row.key == TestKey::KeypadEnter);
    }

    // A key of the form's own table, where the focus is.
    void press(forms::Key pressed, std::uint8_t modifiers = forms::kNoModifier)
    {
        constexpr auto keys
            = std::to_array<WPARAM>({VK_RETURN, VK_ESCAPE, 'C', 'F', 'Q', 'W', VK_F3, VK_F10,
                                     VK_APPS, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN});
        key(keys.at(static_cast<std::size_t>(pressed)), (modifiers & forms::kShift) != 0,
            (modifiers & forms::kControl) != 0);
    }

    void refuse(std::string_view box, bool gone) { refuseWrites(m_form->handle(box), gone); }

    // The report is modal: the click returns once it is closed, and the loop is told to end.
    std::string clickReported(std::string_view button)
    {
        const HangGuard guard("a click whose error is reported, " + std::string(button));
        g_reported.clear();
        SetTimer(nullptr, 0, 20, closeReport);
        SendMessageW(m_form->handle(button), BM_CLICK, 0, 0);
        pump(*m_form);
        return g_reported;
    }

    [[nodiscard]] int heldReferences() const { return m_form->heldReferences(); }

    [[nodiscard]] const forms::FindRow *findRow() const { return m_form->findRow(); }

    [[nodiscard]] std::optional<std::string> findText() const
    {
        HWND field = m_form->findRow()->field();
        return field != nullptr ? std::optional(windowText(field)) : std::nullopt;
    }

    [[nodiscard]] std::string answer() const { return windowText(m_form->findRow()->answer()); }

    // The thread's messages handled meanwhile, as the program's loop would.
    void pastThePause()
    {
        const auto until = std::chrono::steady_clock::now() + forms::kAnnouncePause
            + std::chrono::milliseconds(300);
        while (std::chrono::steady_clock::now() < until) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            pump(*m_form);
        }
    }

    // The client area's.
    [[nodiscard]] std::pair<int, int> size() const
    {
        const SIZE client = clientSize(m_form->window());
        return {client.cx, client.cy};
    }
    [[nodiscard]] std::vector<std::uint32_t> shown() const
    {
        pump(*m_form);
        return shownPixels(m_form->window());
    }

    // Read while the menu is open.
    std::vector<std::string> menuOffered(forms::Key pressed, std::uint8_t modifiers)
    {
        g_offered.clear();
        SetTimer(nullptr, 0, 50, readAndChoose);
        press(pressed, modifiers);
        return g_offered;
    }

    [[nodiscard]] static std::string copied()
    {
        if (OpenClipboard(nullptr) == FALSE) {
            return "(the clipboard could not be opened)";
        }
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const std::wstring text
            = data != nullptr ? std::wstring(static_cast<const wchar_t *>(GlobalLock(data))) : L"";
        GlobalUnlock(data); // none where there was no data
        CloseClipboard();
        return {text.begin(), text.end()}; // the records are ASCII
    }

    // The form, for what only the Win32 tests ask of it; null where it did not open.
    [[nodiscard]] forms::Win32Form *form() const { return m_form.get(); }

    // A key pressed and released on the focused control, with Shift or Ctrl held, through the
    // program's own handling of the thread's messages (F10 as a system key, as Windows sends it).
    // True when the window was closed.
    bool key(WPARAM virtualKey, bool shift = false, bool control = false, bool extended = false)
    {
        std::array<BYTE, 256> state {};
        GetKeyboardState(state.data());
        auto before = state; // given back as it was
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(state.data());
        const LPARAM flags = 1 | (extended ? (1L << 24) : 0);
        const UINT down = virtualKey == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN;
        HWND focus = GetFocus();
        PostMessageW(focus, down, virtualKey, flags);
        PostMessageW(focus, down + 1, virtualKey, flags | (1L << 30) | (1L << 31)); // its key-up
        const bool ended = pump(*m_form);
        SetKeyboardState(before.data());
        return ended || m_form->window() == nullptr;
    }

private:
    [[nodiscard]] std::string nameOf(HWND control) const
    {
        for (const forms::ControlDefinition &definition : icatlas::ui::kForm1Controls) {
            if (m_form->handle(definition.name) == control) {
                return std::string(definition.name);
            }
        }
        return control == m_form->findRow()->field() ? "findField" : "(unknown)";
    }

    static inline std::vector<std::string> g_offered; // what the menu offered

    static void CALLBACK readAndChoose(HWND /*window*/, UINT /*message*/, UINT_PTR timer,
                                       DWORD /*time*/)
    {
        HWND menu = threadWindow(L"#32768");
        if (menu == nullptr) {
            return;
        }
        KillTimer(nullptr, timer);
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the menu the window shows
        auto *items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(items); ++i) {
            std::array<wchar_t, 64> text {};
            GetMenuStringW(items, static_cast<UINT>(i), text.data(), static_cast<int>(text.size()),
                           MF_BYPOSITION);
            const std::wstring_view item(text.data());
            g_offered.emplace_back(item.begin(), item.end()); // the items are ASCII
        }
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
    }

    std::unique_ptr<forms::Win32Form> m_form;
};

} // namespace testing_support
