// SPDX-License-Identifier: MIT
// Wording of result codes and run-time errors, as the user reads them in the error report, and the
// run of a handler that reports them.
#include "forms/core/result.hpp"

#include <array>
#include <cstdio>
#include <string>

namespace forms {

namespace {

std::string message(ResultCode code, std::string_view control, Operation operation)
{
    const auto number = static_cast<unsigned>(code);
    const char *description = code == ResultCode::Ok ? "Success"
        : code == ResultCode::InvalidPropertyValue   ? "Invalid property value"
        : code == ResultCode::ObjectRequired         ? "Object required"
                                                     : "Unknown error";
    std::array<char, 80> text {};
    std::snprintf(text.data(), text.size(), "Run-time error '%u': %s (0x%08X) in ",
                  number & 0xFFFFU, description, number);
    return std::string(text.data()) + std::string(control) + ", "
        + (operation == Operation::SetText ? "set Text" : "unknown operation");
}

} // namespace

RunTimeError::RunTimeError(ResultCode code, std::string_view control, Operation operation)
    : std::runtime_error(message(code, control, operation))
    , m_code(code)
{
}

void checkResult(ResultCode code, std::string_view control, Operation operation)
{
    if ((static_cast<std::uint32_t>(code) & 0x80000000U) != 0) {
        throw RunTimeError(code, control, operation);
    }
}

void runHandler(const std::function<void()> &handler, void (*report)(const std::exception &))
{
    if (!handler) {
        return;
    }
    try {
        handler();
    } catch (const std::exception &error) {
        report(error);
    }
}

} // namespace forms
