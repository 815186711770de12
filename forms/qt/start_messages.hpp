// SPDX-License-Identifier: MIT
// What the start over Qt makes of Qt's words and of its settings, in one line: why a start failed,
// and the settings under which no window can be shown, refused before Qt starts. Free of Qt's own
// types, so that every case can be tested without failing a real start.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace forms {

// What the start is asked of the display and its scale, each where it is set and not empty.
struct StartEnvironment {
    std::optional<std::string_view> platform; // -platform, else QT_QPA_PLATFORM
    std::optional<std::string_view> display; // -display, else DISPLAY
    std::optional<std::string_view> waylandDisplay; // WAYLAND_DISPLAY
    bool waylandSession = false; // XDG_SESSION_TYPE=wayland, where Qt picks Wayland by itself
    std::optional<std::string_view> scaleFactor; // QT_SCALE_FACTOR
    std::optional<std::string_view> screenScaleFactors; // "1.5;2" or "HDMI-1=2;DP-1=1"
    std::optional<std::string_view> fontDpi; // QT_FONT_DPI, which scales the window by it over 96
};

// Our words, then Qt's, which people search for.
[[nodiscard]] std::string withQtWords(const std::string &ours, std::string_view qt);

// What is wrong, in words, from Qt's warnings held back during the start (one per line) and the
// fatal message that ended it, ending with Qt's own words; the first line of the fatal message
// where the cause is none of those known.
[[nodiscard]] std::string describeStartFailure(const StartEnvironment &asked,
                                               std::string_view heldMessages,
                                               std::string_view fatalMessage);

// The scale factors under which the window can be shown and read, each alone and all of them
// together: below the smallest its texts are a few pixels high (a window of 7x5 pixels at 0.01);
// at the largest it is eight times its size and already larger than any screen, and above it Qt
// tries to draw on gigabytes (at 100, 13 GB, and a crash) or shows nothing (0, 1e9).
inline constexpr double kSmallestScaleFactor = 0.25;
inline constexpr double kLargestScaleFactor = 8.0;
// Why no window can be shown on the platform or at the scale `asked`, in words; nothing when the
// start may go on. A value Qt cannot read (a factor that is not a number, or for a screen's not
// above 0, a dots-per-inch not a whole number above 0) is left for it to ignore, as it does.
[[nodiscard]] std::optional<std::string> refusedSettings(const StartEnvironment &asked);

} // namespace forms
