// SPDX-License-Identifier: MIT
// What the start over Qt makes of Qt's words and settings, in one line: why a start failed, and why
// no window could be shown, before Qt starts. Free of Qt's types, so tested without a real start.
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

// What is wrong, from Qt's warnings held back (one per line) and the fatal message that ended the
// start, ending with Qt's own words; else the fatal message's first line.
[[nodiscard]] std::string describeStartFailure(const StartEnvironment &asked,
                                               std::string_view heldMessages,
                                               std::string_view fatalMessage);

// The scale factors under which the window can be shown and read, each alone and all of them
// together: below the smallest its texts are a few pixels high (a window of 7x5 pixels at 0.01);
// at the largest it is eight times its size and already larger than any screen, and above it Qt
// tries to draw on gigabytes (at 100, 13 GB, and a crash) or shows nothing (0, 1e9).
inline constexpr double kSmallestScaleFactor = 0.25;
inline constexpr double kLargestScaleFactor = 8.0;
// Why no window can be shown on the platform or at the scale `asked`; nothing when it can. A value
// Qt cannot read (or a screen's factor or dots per inch not above 0) is left for Qt to ignore.
[[nodiscard]] std::optional<std::string> refusedSettings(const StartEnvironment &asked);

} // namespace forms
