// SPDX-License-Identifier: MIT
// A text box over an edit control: the raw operations the core's checked write is made of.
#include "forms/win32/controls.hpp"

#include "forms/win32/wide.hpp"

namespace forms::win32 {

Win32TextBox::Win32TextBox(std::string_view name, HWND edit)
    : CheckedTextBox(std::string(name))
    , m_edit(edit)
{
}

bool Win32TextBox::present() const
{
    return IsWindow(m_edit) != FALSE;
}

std::string Win32TextBox::rawText() const
{
    return narrow(textOf(m_edit));
}

void Win32TextBox::setRawText(std::string_view text)
{
    SetWindowTextW(m_edit, widen(text).c_str());
}

void Win32TextBox::showBeginning()
{
    SendMessageW(m_edit, EM_SETSEL, 0, 0);
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

} // namespace forms::win32
