// SPDX-License-Identifier: MIT
// The form's window procedure and its keys: clicks, colours, sizes and DPI changes, the focus kept
// across activation, the keys beyond the dialog keys, and the tooltips of boxes cut off.
#include "forms/win32/win32_form.hpp"

#include "forms/core/keys.hpp"
#include "forms/core/scaling.hpp"
#include "forms/win32/wide.hpp"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace forms {

namespace {

// A key message's virtual key (keypad Enter is VK_RETURN too) as the core's key table names it,
// with the modifiers held as the message was taken from the queue.
KeyPress keyPress(WPARAM virtualKey)
{
    static constexpr std::array<std::pair<WPARAM, Key>, 13> kKeys {{
        {VK_RETURN, Key::Enter},
        {VK_ESCAPE, Key::Escape},
        {'C', Key::C},
        {'F', Key::F},
        {'Q', Key::Q},
        {'W', Key::W},
        {VK_F3, Key::F3},
        {VK_F10, Key::F10},
        {VK_APPS, Key::Menu},
        {VK_LEFT, Key::Left},
        {VK_RIGHT, Key::Right},
        {VK_UP, Key::Up},
        {VK_DOWN, Key::Down},
    }};
    const auto *const found = std::ranges::find(kKeys, virtualKey, &std::pair<WPARAM, Key>::first);
    KeyPress press {found != kKeys.end() ? found->second : Key::Other, kNoModifier};
    for (const auto &[held, bit] :
         {std::pair {VK_SHIFT, kShift}, std::pair {VK_CONTROL, kControl}, std::pair {VK_MENU, kAlt},
          std::pair {VK_LWIN, kMeta}, std::pair {VK_RWIN, kMeta}}) {
        if (GetKeyState(held) < 0) {
            press.modifiers |= bit;
        }
    }
    return press;
}

// Draws a bitmap stretched over `target`, smoothed; at its own size, copied as it is.
void drawPicture(HDC dc, const RECT &target, HBITMAP bitmap)
{
    BITMAP info {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) {
        return;
    }
    const win32::Owned<HDC, DeleteDC> source(CreateCompatibleDC(dc));
    const win32::Selection picture = win32::select(source.get(), bitmap);
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (width == info.bmWidth && height == info.bmHeight) {
        BitBlt(dc, target.left, target.top, width, height, source.get(), 0, 0, SRCCOPY);
    } else {
        const int mode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, target.left, target.top, width, height, source.get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
        SetStretchBltMode(dc, mode);
    }
}

} // namespace

bool Win32Form::translate(MSG &message)
{
    if (m_window == nullptr
        || (message.hwnd != m_window && IsChild(m_window, message.hwnd) == FALSE)) {
        return false;
    }
    // The tooltip window is made when the mouse first comes over a box whose text is cut off.
    if (message.message == WM_MOUSEMOVE && m_tips == nullptr && !tipOf(message.hwnd).empty()) {
        makeTips();
    }
    // A right click on a box opens the boxes' menu in place of the edit's own.
    if (message.message == WM_RBUTTONUP && itemOf(message.hwnd, ControlKind::TextBox) != nullptr) {
        POINT at {static_cast<short>(LOWORD(message.lParam)),
                  static_cast<short>(HIWORD(message.lParam))};
        ClientToScreen(message.hwnd, &at);
        SetFocus(message.hwnd);
        m_findRow.contextMenu(message.hwnd, at);
        return true;
    }
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        HWND focusedWindow = GetFocus();
        const Item *focused = itemOf(focusedWindow);
        const ControlDefinition *definition = focused != nullptr ? focused->definition : nullptr;
        const FocusOn focus = focusedWindow != nullptr && focusedWindow == m_findRow.field()
            ? FocusOn::FindField
            : focusOn(definition);
        const KeySteps steps {
            .pressFocusedButton =
                [&message, focused] {
                    // One press per press: a held key's repeats are not clicks, as Space's are not.
                    if ((message.lParam & (1L << 30)) == 0) {
                        win32::runHandler(focused->click);
                    }
                },
            .closeWindow = [this] { PostMessageW(m_window, WM_CLOSE, 0, 0); },
        };
        // Where the form does nothing with the key, the dialog keys and controls keep it.
        if (m_findRow.act(keyPress(message.wParam), focus, definition, true, steps)) {
            return true;
        }
    }
    return IsDialogMessageW(m_window, &message) != FALSE;
}

Win32Form::Item *Win32Form::itemOf(HWND control, std::optional<ControlKind> kind)
{
    const auto found = std::ranges::find(m_items, control, &Item::hwnd);
    return control != nullptr && found != m_items.end()
            && (!kind || found->definition->kind == *kind)
        ? &*found
        : nullptr;
}

LRESULT CALLBACK Win32Form::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the creation data CreateWindowEx was given
        auto *form
            = static_cast<Win32Form *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the form stored at creation
    auto *form = reinterpret_cast<Win32Form *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) { // the last message the window is sent
        form->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

LRESULT Win32Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the control that sent it
        const auto sender = reinterpret_cast<HWND>(lParam);
        m_findRow.command(sender, HIWORD(wParam));
        // None for the row's, or IDOK and IDCANCEL from the dialog keys: nothing is a default.
        const Item *item = itemOf(sender, ControlKind::CommandButton);
        if (item != nullptr && HIWORD(wParam) == BN_CLICKED) {
            win32::runHandler(item->click);
        }
        return 0;
    }
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR *>(lParam)->code == TTN_GETDISPINFOW) {
            auto *tip = reinterpret_cast<NMTTDISPINFOW *>(lParam);
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the tool is the box's window
            m_tip = tipOf(reinterpret_cast<HWND>(tip->hdr.idFrom));
            tip->lpszText = m_tip.data();
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message's device context and control
        return colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                             message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE);
    case WM_DRAWITEM: {
        const auto *drawn = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (itemOf(drawn->hwndItem, ControlKind::Picture) == nullptr) {
            return FALSE;
        }
        FillRect(drawn->hDC, &drawn->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        drawPicture(drawn->hDC, drawn->rcItem, m_picture.get());
        return TRUE;
    }
    case WM_SIZE: // minimised, the client area is empty and nothing is laid out
        scaleToWindow();
        return 0;
    case WM_GETMINMAXINFO: {
        // The window may shrink below its designed size, down to the least scale.
        const SIZE least = sizesAt(kSmallestScale).second;
        auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
        limits->ptMinTrackSize = {least.cx, least.cy + m_findRow.addedHeight()};
        return 0;
    }
    case WM_TIMER:
        if (wParam == Win32FindRow::kPauseTimer) {
            m_findRow.paused();
        }
        return 0;
    case WM_DPICHANGED: {
        // Moved to a monitor of another density: the size Windows suggests keeps the window's
        // physical size, and places and fonts are worked out again from twips at the new DPI.
        m_dpi = HIWORD(wParam);
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        scaleToWindow(); // where the size message did not already
        return 0;
    }
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE:
        // Colours are worked out at each paint: drawing everything again is all a change needs.
        // Controls hear of colours from the window.
        if (message == WM_SYSCOLORCHANGE) {
            for (const Item &item : m_items) {
                SendMessageW(item.hwnd, message, wParam, lParam);
            }
        }
        RedrawWindow(m_window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        return 0;
    case WM_ACTIVATE:
        // A window that is not a dialog keeps its focus itself across being deactivated.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); IsChild(m_window, focus) != FALSE) {
                m_lastFocus = focus;
            }
        } else if (IsWindow(m_lastFocus) != FALSE) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_DESTROY:
        // Closing the window ends the program; a form destroyed by its owner ends nothing.
        if (!m_destroying) {
            PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

std::wstring Win32Form::tipOf(HWND box)
{
    if (itemOf(box, ControlKind::TextBox) == nullptr) {
        return {};
    }
    std::wstring text = win32::textOf(box);
    RECT room {};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    SIZE extent {};
    GetTextExtentPoint32W(win32::WindowDc(box, win32::fontOf(box)).get(), text.c_str(),
                          static_cast<int>(text.size()), &extent);
    return extent.cx > room.right - room.left ? text : std::wstring();
}

void Win32Form::makeTips()
{
    m_tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    // A part number can be long: let the tip be as wide as it needs, on one line.
    SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, -1);
    for (const Item &item : m_items) {
        if (item.definition->kind == ControlKind::TextBox) {
            // The text is asked for (TTN_GETDISPINFO) each time the tip is to show; none: no tip.
            TTTOOLINFOW tool {.cbSize = sizeof(TTTOOLINFOW),
                              .uFlags = TTF_IDISHWND | TTF_SUBCLASS,
                              .hwnd = m_window,
                              .uId = reinterpret_cast<UINT_PTR>(item.hwnd),
                              .lpszText = LPSTR_TEXTCALLBACKW};
            SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

} // namespace forms
