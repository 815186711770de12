// SPDX-License-Identifier: MIT
// The find row over Win32 (see find_row.hpp).
#include "forms/win32/find_row.hpp"

#include "forms/core/scaling.hpp"
#include "forms/win32/accessibility.hpp"
#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

namespace forms {

using win32::widen;

namespace {

// Clear of IDOK and IDCANCEL, and of the form's controls, which start at 1000.
constexpr int kFieldId = 900;
constexpr int kAnswerId = 901;
constexpr UINT_PTR kMarkSubclass = 1;

// A mark is a thick frame inside the control's edge in the colour its text is drawn in: it reads
// without colour, in the system's colours and in high contrast, and it leaves the control's own
// drawing as it is. The control draws itself first; the frame goes over it each time it has.
std::array<RECT, 4> markSides(HWND control)
{
    RECT box {};
    GetWindowRect(control, &box);
    OffsetRect(&box, -box.left, -box.top);
    const int thickness = std::max<int>(3, box.bottom / 10);
    return {{
        {0, 0, box.right, thickness},
        {0, box.bottom - thickness, box.right, box.bottom},
        {0, 0, thickness, box.bottom},
        {box.right - thickness, 0, box.right, box.bottom},
    }};
}

void drawMark(HWND control, int colour)
{
    const win32::WindowDc dc(control, nullptr, win32::DcArea::Window);
    HBRUSH brush = GetSysColorBrush(colour);
    for (const RECT &side : markSides(control)) {
        FillRect(dc.get(), &side, brush);
    }
}

LRESULT CALLBACK markProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR /*id*/, DWORD_PTR colour)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, markProcedure, kMarkSubclass);
    }
    // What a button or an edit draws itself after, not all of it through WM_PAINT.
    static constexpr std::array<UINT, 16> kRedrawnAfter {
        WM_PAINT,         WM_NCPAINT,  WM_SETFOCUS,    WM_KILLFOCUS, WM_ENABLE,    WM_SETTEXT,
        WM_CHAR,          WM_KEYDOWN,  WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_MOUSELEAVE,
        WM_UPDATEUISTATE, BM_SETSTATE, BM_SETSTYLE,    EM_SETSEL};
    const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
    if (std::ranges::find(kRedrawnAfter, message) != kRedrawnAfter.end()) {
        drawMark(control, static_cast<int>(colour));
    }
    return result;
}

// The clipboard, open for one change and closed again on every path.
using ClipboardHandle = win32::Owned<HWND, +[](HWND /*owner*/) noexcept { CloseClipboard(); }>;

} // namespace

Win32FindRow::Win32FindRow(Win32Form &form)
    : FindRow(form, form.m_definition)
    , m_form(form)
{
}

Font Win32FindRow::answerFont(const FormDefinition &definition)
{
    Font font = definition.font;
    font.centipoints
        = static_cast<std::uint16_t>(std::lround(font.centipoints * kFindAnswerFontFactor));
    return font;
}

double Win32FindRow::dpi() const
{
    return m_form.m_dpi;
}

double Win32FindRow::scale() const
{
    return m_form.m_scale;
}

void Win32FindRow::layOut(bool refont)
{
    if (m_field == nullptr) {
        return;
    }
    if (refont) {
        SendMessageW(m_field, WM_SETFONT,
                     reinterpret_cast<WPARAM>(m_form.font(m_form.m_definition.font)), TRUE);
        SendMessageW(m_answer, WM_SETFONT,
                     reinterpret_cast<WPARAM>(m_form.font(answerFont(m_form.m_definition))), TRUE);
    }
    if (!isOpen()) {
        return;
    }
    RECT client {};
    GetClientRect(m_form.window(), &client);
    FindRowPlace at = place(client.right, client.bottom);
    at.row.left = std::max(0, at.row.left);
    SetWindowPos(m_field, nullptr, at.row.left + at.field.left, at.row.top + at.field.top,
                 at.field.width, at.field.height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The answer's lines as they wrap, in the middle of the row's height.
    const std::wstring line = win32::textOf(m_answer);
    RECT needed {0, 0, at.answer.width, 0};
    DrawTextW(win32::WindowDc(m_answer, win32::fontOf(m_answer)).get(), line.c_str(),
              static_cast<int>(line.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const int height = std::min<int>(at.answer.height, needed.bottom);
    SetWindowPos(m_answer, nullptr, at.row.left + at.answer.left,
                 at.row.top + at.answer.top + (at.answer.height - height) / 2, at.answer.width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_answer, nullptr, TRUE);
}

bool Win32FindRow::make()
{
    if (m_field != nullptr) {
        return true;
    }
    m_field = win32::createChild(m_form.window(), kFieldId, L"EDIT",
                                 WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    m_answer = win32::createChild(m_form.window(), kAnswerId, L"STATIC", SS_LEFT | SS_NOPREFIX);
    if (m_field == nullptr || m_answer == nullptr) {
        return false;
    }
    const std::wstring name = widen(kFindFieldName);
    SendMessageW(m_field, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(name.c_str()));
    m_form.m_annotations.annotate(m_field, kFindFieldName, {});
    layOut(true);
    return true;
}

void Win32FindRow::show(bool shown)
{
    if (shown) {
        layOut(false);
    }
    ShowWindow(m_field, shown ? SW_SHOWNA : SW_HIDE);
    ShowWindow(m_answer, shown ? SW_SHOWNA : SW_HIDE);
}

void Win32FindRow::setField(std::string_view text)
{
    SetWindowTextW(m_field, widen(text).c_str());
    SendMessageW(m_field, EM_SETSEL, 0, -1);
    SetFocus(m_field);
}

void Win32FindRow::grow(int height)
{
    RECT outer {};
    GetWindowRect(m_form.window(), &outer);
    SetWindowPos(m_form.window(), nullptr, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top + height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Win32FindRow::fieldText() const
{
    return m_field != nullptr ? win32::narrow(win32::textOf(m_field)) : std::string();
}

void Win32FindRow::redraw(const MarkChange &change)
{
    for (const ControlDefinition *gone : change.gone) {
        if (HWND control = m_form.handle(gone->name); control != nullptr) {
            RemoveWindowSubclass(control, markProcedure, kMarkSubclass);
            // Drawn again where the mark was: a button, whose window is all client area, only
            // there, as drawing a whole button again costs several times more under Wine's themes.
            if (gone->kind != ControlKind::CommandButton) {
                RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
                continue;
            }
            for (const RECT &side : markSides(control)) {
                RedrawWindow(control, &side, nullptr, RDW_INVALIDATE);
            }
        }
    }
    for (const ControlDefinition *added : change.added) {
        if (HWND control = m_form.handle(added->name); control != nullptr) {
            const int colour
                = added->kind == ControlKind::TextBox ? COLOR_WINDOWTEXT : COLOR_BTNTEXT;
            SetWindowSubclass(control, markProcedure, kMarkSubclass,
                              static_cast<DWORD_PTR>(colour));
            // Drawn over the control as it stands: nothing of the control itself changed.
            drawMark(control, colour);
        }
    }
}

void Win32FindRow::describe(const ControlDefinition &control, std::string_view description)
{
    if (HWND handle = m_form.handle(control.name); handle != nullptr) {
        m_form.m_annotations.describe(handle, description);
    }
}

void Win32FindRow::setAnswer(std::string_view line)
{
    const std::wstring wide = widen(line);
    if (win32::textOf(m_answer) != wide) {
        SetWindowTextW(m_answer, wide.c_str());
        layOut(false);
    }
}

void Win32FindRow::pause(bool start)
{
    if (start) {
        SetTimer(m_form.window(), kPauseTimer, static_cast<UINT>(kAnnouncePause.count()), nullptr);
    } else {
        KillTimer(m_form.window(), kPauseTimer);
    }
}

void Win32FindRow::command(HWND control, WORD code)
{
    if (control != nullptr && control == m_field && code == EN_CHANGE) {
        typed(fieldText());
    }
}

void Win32FindRow::runAsClick(const std::function<void()> &handler)
{
    // Traps no more than a click's handler does.
    win32::runHandler(handler);
}

void Win32FindRow::copy(std::string_view text)
{
    const std::wstring wide = widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    win32::Owned<HGLOBAL, GlobalFree> memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void *into = memory ? GlobalLock(memory.get()) : nullptr;
    if (into == nullptr) {
        return;
    }
    std::memcpy(into, wide.c_str(), bytes);
    GlobalUnlock(memory.get());
    const ClipboardHandle clipboard(OpenClipboard(m_form.window()) != FALSE ? m_form.window()
                                                                            : nullptr);
    // The clipboard owns the memory once it took it.
    if (clipboard && EmptyClipboard() != FALSE
        && SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr) {
        memory.release();
    }
}

void Win32FindRow::contextMenu(HWND box, POINT at)
{
    // The edit's own menu cannot take an item: its standard items are given here as Windows gives
    // them, each enabled as the edit's own would be, and each, as there, the message it sends the
    // edit for its id. The first item is the find's; a null text is a separator.
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool selected = start != end;
    const bool writable = (GetWindowLongW(box, GWL_STYLE) & ES_READONLY) == 0;
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(box));
    const win32::Owned<HMENU, DestroyMenu> menu(CreatePopupMenu()); // none: nothing is chosen
    const auto add = [&menu](UINT id, const wchar_t *text, bool enabled) {
        const UINT flags = text == nullptr ? MF_SEPARATOR
            : enabled                      ? MF_STRING
                                           : MF_STRING | MF_GRAYED;
        AppendMenuW(menu.get(), flags, id, text);
    };
    constexpr UINT kFindItem = 1; // clear of the messages
    add(kFindItem, widen(kFindMenuItem).c_str(), true);
    add(0, nullptr, false);
    add(WM_UNDO, L"&Undo", SendMessageW(box, EM_CANUNDO, 0, 0) != 0);
    add(0, nullptr, false);
    add(WM_CUT, L"Cu&t", selected && writable);
    add(WM_COPY, L"&Copy", selected);
    add(WM_PASTE, L"&Paste", writable && IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE);
    add(WM_CLEAR, L"&Delete", selected && writable);
    add(0, nullptr, false);
    add(EM_SETSEL, L"Select &All", length > 0 && (start > 0 || end < length));
    const auto chosen = static_cast<UINT>(TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, m_form.window(), nullptr));
    if (chosen == kFindItem) {
        open(win32::narrow(win32::textOf(box)));
    } else if (chosen != 0) { // 0: nothing chosen
        SendMessageW(box, chosen, 0, chosen == EM_SETSEL ? -1 : 0);
    }
}

const ControlDefinition *Win32FindRow::focused() const
{
    const Win32Form::Item *item = m_form.itemOf(GetFocus());
    return item != nullptr ? item->definition : nullptr;
}

void Win32FindRow::focus(const ControlDefinition *control)
{
    SetFocus(control != nullptr ? m_form.handle(control->name) : m_form.window());
}

bool Win32FindRow::openMenu(const ControlDefinition &box)
{
    HWND control = m_form.handle(box.name);
    RECT place {};
    GetWindowRect(control, &place);
    contextMenu(control, {(place.left + place.right) / 2, (place.top + place.bottom) / 2});
    return true;
}

} // namespace forms
