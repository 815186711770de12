// SPDX-License-Identifier: MIT
// Tooltips on cut-off text boxes.
#include "forms/win32/tooltips.hpp"

#include "forms/win32/handles.hpp"
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
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the box's font
    const WindowDc dc(box, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    SIZE extent {};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx > room.right - room.left;
}

} // namespace

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
        send(TTM_ADDTOOLW, m_boxes.back());
    }
}

// The tooltip window is made when a box first has a text cut off: a window whose boxes all show
// their texts whole starts without one.
void BoxTips::makeWindow()
{
    m_tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_form,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_tips == nullptr) {
        return;
    }
    // A part number can be long: let the tip be as wide as it needs, on one line.
    SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, -1);
    for (auto &entry : m_boxes) {
        send(TTM_ADDTOOLW, entry);
    }
}

void BoxTips::send(UINT message, std::pair<HWND, std::wstring> &entry) const
{
    TTTOOLINFOW tool {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_form;
    tool.uId = reinterpret_cast<UINT_PTR>(entry.first);
    tool.lpszText = entry.second.data();
    SendMessageW(m_tips, message, 0, reinterpret_cast<LPARAM>(&tool));
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
        send(TTM_UPDATETIPTEXTW, *found);
    } else if (!found->second.empty()) {
        makeWindow(); // with each box's tooltip as it stands
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
