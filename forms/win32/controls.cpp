// SPDX-License-Identifier: MIT
// A text box over an edit control, its writes checked against what the control then holds.
#include "forms/win32/controls.hpp"

#include "forms/win32/wide.hpp"

namespace forms::win32 {

Win32TextBox::Win32TextBox(std::string_view name, HWND edit)
    : TextBox(std::string(name))
    , m_edit(edit)
{
}

ResultCode Win32TextBox::setText(std::string_view text)
{
    if (IsWindow(m_edit) == FALSE) {
        return ResultCode::ObjectRequired;
    }
    const std::wstring value = widen(text);
    if (textOf(m_edit) != value) {
        SetWindowTextW(m_edit, value.c_str());
    }
    // A long text shows its beginning, with nothing selected, as a box just filled should.
    SendMessageW(m_edit, EM_SETSEL, 0, 0);
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
    // The box may refuse or alter the text: only the exact text counts as written.
    return textOf(m_edit) == value ? ResultCode::Ok : ResultCode::InvalidPropertyValue;
}

std::string Win32TextBox::text() const
{
    return IsWindow(m_edit) != FALSE ? narrow(textOf(m_edit)) : std::string();
}

} // namespace forms::win32
