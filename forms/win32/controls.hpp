// SPDX-License-Identifier: MIT
// The runtime's text box over a form's Win32 edit, whose writes the core checks; any other control
// is the core's Control, known by its name.
#pragma once

#include "forms/core/form.hpp"

#include <windows.h>

#include <string>
#include <string_view>

namespace forms::win32 {

class Win32TextBox final : public CheckedTextBox {
public:
    Win32TextBox(std::string_view name, HWND edit);

protected:
    [[nodiscard]] bool present() const override;
    [[nodiscard]] std::string rawText() const override;
    void setRawText(std::string_view text) override;
    void showBeginning() override;

private:
    HWND m_edit;
};

} // namespace forms::win32
