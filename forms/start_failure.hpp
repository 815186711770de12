// SPDX-License-Identifier: MIT
// The one line a user reads when the window cannot be opened: what Qt said on the way to its fatal
// error, turned into what is wrong (no display, no such platform plugin) and what was asked for.
// Toolkit-free text handling, so every case can be tested without failing a real start.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace forms {

struct StartFailure {
    // Qt's warnings held back during the start, one per line, oldest first.
    std::string_view heldMessages;
    // Qt's fatal message that ended the start.
    std::string_view fatalMessage;
    // QT_QPA_PLATFORM, when it is set and not empty.
    std::optional<std::string_view> requestedPlatform;
    // DISPLAY, when it is set and not empty.
    std::optional<std::string_view> display;
};

// What is wrong, in words, without the program's name or a line end ("no display is reachable:
// ..."). Falls back on the first line of Qt's fatal message when the cause is none of those known.
[[nodiscard]] std::string describeStartFailure(const StartFailure &failure);

} // namespace forms
