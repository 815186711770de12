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

// What the environment asks of the start, read before the toolkit starts.
struct StartSettings {
    // QT_QPA_PLATFORM, when it is set and not empty.
    std::optional<std::string_view> platform;
    // QT_SCALE_FACTOR, when it is set and not empty.
    std::optional<std::string_view> scaleFactor;
};

// The scale factors under which the window can be shown and read: below the smallest its texts
// are a few pixels high; at the largest it is eight times its size and already larger than any
// screen, and above it the toolkit tries to draw on gigabytes (at 100, 13 GB) or shows nothing
// (0, 1e9).
inline constexpr double kSmallestScaleFactor = 0.25;
inline constexpr double kLargestScaleFactor = 8.0;

// Why no window can be shown under these settings, in words as describeStartFailure gives them;
// nothing when the start may go on. A scale factor the toolkit cannot read as a number is left
// for it to ignore, as it does.
[[nodiscard]] std::optional<std::string> refusedSettings(const StartSettings &settings);

// The fewest bits per pixel the window can be drawn at: the toolkit's group-box painting crashes
// on a display of 8 bits (indexed colour).
inline constexpr int kSmallestColourDepth = 15;

// Why the window cannot be drawn on a screen of `depth` bits per pixel; nothing when it can.
[[nodiscard]] std::optional<std::string> refusedColourDepth(int depth);

// What to say when the display has not answered after `seconds`: the display and platform asked
// for, as far as the environment names them.
[[nodiscard]] std::string describeSilentDisplay(const StartFailure &failure, int seconds);

} // namespace forms
