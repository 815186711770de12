// SPDX-License-Identifier: MIT
// Tooltips on text boxes whose text is cut off: a box too narrow for its text offers the whole
// text as its tooltip, and a box that shows all of its text offers none.
#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"

#include <commctrl.h>

namespace forms {

std::wstring Win32Form::tipOf(HWND box)
{
    const Item *item = itemOf(box);
    if (item == nullptr || item->definition->kind != ControlKind::TextBox) {
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
            TTTOOLINFOW tool {};
            tool.cbSize = sizeof(tool);
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = m_window;
            tool.uId = reinterpret_cast<UINT_PTR>(item.hwnd);
            tool.lpszText = LPSTR_TEXTCALLBACKW;
            SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

std::string Win32Form::toolTip(std::string_view box)
{
    return win32::narrow(tipOf(handle(box)));
}

} // namespace forms
