// SPDX-License-Identifier: MIT
// Tooltips on cut-off text boxes.
#include "forms/win32/tooltips.hpp"

#include "forms/win32/wide.hpp"

#include <commctrl.h>

#include <algorithm>

namespace forms::win32 {

namespace {

// Whether the text is wider than the room the box draws text in.
bool isCutOff(HWND box, const std::wstring &text)
{
    if (text.empty()) {
        return false;
    }
    RECT room {};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    HDC dc = GetDC(box);
    HGDIOBJ previous
        = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    SIZE extent {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(box, dc);
    return extent.cx > room.right - room.left;
}

TTTOOLINFOW toolFor(HWND form, HWND box, wchar_t *text)
{
    TTTOOLINFOW tool {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(box);
    tool.lpszText = text;
    return tool;
}

} // namespace

BoxTips::BoxTips(HWND form)
    : m_form(form)
    , m_tips(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form,
                             nullptr, GetModuleHandleW(nullptr), nullptr))
{
    if (m_tips != nullptr) {
        // A part number can be long: let the tip be as wide as it needs, on one line.
        SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, -1);
    }
}

BoxTips::~BoxTips()
{
    if (m_tips != nullptr) {
        DestroyWindow(m_tips);
    }
}

void BoxTips::add(HWND box)
{
    m_boxes.emplace_back(box, std::wstring());
    if (m_tips != nullptr) {
        std::wstring empty;
        TTTOOLINFOW tool = toolFor(m_form, box, empty.data());
        SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void BoxTips::update(HWND box)
{
    const auto found = std::find_if(m_boxes.begin(), m_boxes.end(),
                                    [box](const auto &entry) { return entry.first == box; });
    if (found == m_boxes.end()) {
        return;
    }
    std::wstring text = textOf(box);
    std::wstring tip = isCutOff(box, text) ? std::move(text) : std::wstring();
    if (tip == found->second) {
        return;
    }
    found->second = std::move(tip);
    if (m_tips != nullptr) {
        TTTOOLINFOW tool = toolFor(m_form, box, found->second.data());
        SendMessageW(m_tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void BoxTips::updateAll()
{
    for (const auto &entry : m_boxes) {
        update(entry.first);
    }
}

std::wstring BoxTips::tip(HWND box) const
{
    const auto found = std::find_if(m_boxes.begin(), m_boxes.end(),
                                    [box](const auto &entry) { return entry.first == box; });
    return found != m_boxes.end() ? found->second : std::wstring();
}

} // namespace forms::win32
