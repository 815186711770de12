// SPDX-License-Identifier: MIT
// The runtime's controls over a form's Win32 windows: a text box whose writes are checked, and
// any other control, known by its name.
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

// Any other control: known by name.
class Win32Control final : public Control {
public:
    using Control::Control;
};

} // namespace forms::win32
