// SPDX-License-Identifier: MIT
// Wording of result codes and run-time errors, as the user reads them in the error report.
#include "forms/core/result.hpp"

#include <array>
#include <cstdio>

namespace forms {

std::string_view describe(ResultCode code)
{
    switch (code) {
    case ResultCode::Ok:
        return "Success";
    case ResultCode::InvalidPropertyValue:
        return "Invalid property value";
    case ResultCode::ObjectRequired:
        return "Object required";
    }
    return "Unknown error";
}

std::string_view operationName(Operation operation)
{
    switch (operation) {
    case Operation::SetText:
        return "set Text";
    }
    return "unknown operation";
}

namespace {

std::string message(ResultCode code, std::string_view control, Operation operation)
{
    std::array<char, 16> hex {};
    std::snprintf(hex.data(), hex.size(), "%08X", static_cast<unsigned>(code));
    std::string text = "Run-time error '" + std::to_string(errorNumber(code)) + "': ";
    text.append(describe(code)).append(" (0x").append(hex.data()).append(") in ");
    return text.append(control).append(", ").append(operationName(operation));
}

} // namespace

RunTimeError::RunTimeError(ResultCode code, std::string_view control, Operation operation)
    : std::runtime_error(message(code, control, operation))
    , m_code(code)
    , m_control(control)
    , m_operation(operation)
{
}

void checkResult(ResultCode code, std::string_view control, Operation operation)
{
    if (!succeeded(code)) {
        throw RunTimeError(code, control, operation);
    }
}

} // namespace forms
