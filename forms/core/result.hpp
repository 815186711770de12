// SPDX-License-Identifier: MIT
// Result codes of control operations, the run-time error raised when one fails, and how a handler
// is run. A failed operation never goes unnoticed: its caller checks the code, and the check
// throws.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace forms {

// Codes in the COM style the forms runtime has always used: 0 is success, a set high bit is a
// failure, and run-time errors carry their error number (shown to the user) in the low word.
enum class ResultCode : std::uint32_t {
    Ok = 0,
    InvalidPropertyValue = 0x800A017CU, // error 380: the control did not take the value
    ObjectRequired = 0x800A01A8U, // error 424: the control is not there
};

// What was being done to the control when the operation failed.
enum class Operation : std::uint8_t { SetText };

class RunTimeError : public std::runtime_error {
public:
    RunTimeError(ResultCode code, std::string_view control, Operation operation);

    [[nodiscard]] ResultCode code() const noexcept { return m_code; }

private:
    ResultCode m_code;
};

// Raises the run-time error for a failed code; does nothing for a successful one.
void checkResult(ResultCode code, std::string_view control, Operation operation);

// Runs one of the program's handlers, if any, as every realisation runs them: handlers trap
// nothing, so an error that leaves one goes to `report`, the realisation's, which ends the program.
void runHandler(const std::function<void()> &handler, void (*report)(const std::exception &));

} // namespace forms
