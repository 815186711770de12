// SPDX-License-Identifier: MIT
// Texts between the runtime's UTF-8 and the UTF-16 of Windows' wide-character calls.
#pragma once

#include <string>
#include <string_view>

namespace forms::win32 {

[[nodiscard]] std::wstring widen(std::string_view text);
[[nodiscard]] std::string narrow(std::wstring_view text);

} // namespace forms::win32
