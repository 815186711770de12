// SPDX-License-Identifier: MIT
// Tooltips on text boxes whose text is cut off: a box too narrow for its text offers the whole
// text as its tooltip, and a box that shows all of its text offers none.
#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"

#include <commctrl.h>

namespace forms {

namespace {

// Whether the text is wider than the room the box draws text in.
bool isCutOff(HWND box, const std::wstring &text)
{
    if (text.empty()) {
        return false;
    }
    RECT room {};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    SIZE extent {};
    GetTextExtentPoint32W(win32::WindowDc(box, win32::fontOf(box)).get(), text.c_str(),
                          static_cast<int>(text.size()), &extent);
    return extent.cx > room.right - room.left;
}

} // namespace

void Win32Form::sendTip(UINT message, Item &box) const
{
    TTTOOLINFOW tool {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(box.hwnd);
    tool.lpszText = box.tip.data();
    SendMessageW(m_tips, message, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Form::updateTip(Item &box)
{
    if (box.definition->kind != ControlKind::TextBox) {
        return;
    }
    std::wstring text = win32::textOf(box.hwnd);
    std::wstring tip = isCutOff(box.hwnd, text) ? std::move(text) : std::wstring();
    if (tip == box.tip) {
        return;
    }
    box.tip = std::move(tip);
    if (m_tips != nullptr) {
        sendTip(TTM_UPDATETIPTEXTW, box);
        return;
    }
    // A window whose boxes all show their texts whole starts without a tooltip window.
    m_tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_tips == nullptr) {
        return;
    }
    // A part number can be long: let the tip be as wide as it needs, on one line.
    SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, -1);
    for (Item &item : m_items) {
        if (item.definition->kind == ControlKind::TextBox) {
            sendTip(TTM_ADDTOOLW, item);
        }
    }
}

void Win32Form::updateTips()
{
    for (Item &item : m_items) {
        updateTip(item);
    }
}

std::string Win32Form::toolTip(std::string_view box)
{
    const Item *item = itemOf(handle(box));
    return item != nullptr ? win32::narrow(item->tip) : std::string();
}

} // namespace forms
