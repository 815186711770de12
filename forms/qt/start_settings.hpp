// SPDX-License-Identifier: MIT
// What Qt's environment may ask of the start that no window survives, refused before Qt starts:
// scale factors it cannot draw at, a platform without windows, a display of too few colours.
// Free of Qt's own types, so every case can be tested without failing a real start.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace forms {

// What the environment asks of the start, read before the toolkit starts.
struct StartSettings {
    // QT_QPA_PLATFORM, when it is set and not empty.
    std::optional<std::string_view> platform;
    // QT_SCALE_FACTOR, when it is set and not empty.
    std::optional<std::string_view> scaleFactor;
    // QT_SCREEN_SCALE_FACTORS, when it is set and not empty: factors by screen, separated by ';',
    // each a number (for the screens in order) or NAME=number (for the screen of that name).
    std::optional<std::string_view> screenScaleFactors;
    // QT_FONT_DPI, when it is set and not empty: the dots per inch the toolkit then takes for
    // the screens', scaling the window by it over 96.
    std::optional<std::string_view> fontDpi;
};

// The scale factors under which the window can be shown and read, each alone and all of them
// together: below the smallest its texts are a few pixels high (a window of 7x5 pixels at 0.01);
// at the largest it is eight times its size and already larger than any screen, and above it the
// toolkit tries to draw on gigabytes (at 100, 13 GB, and a crash) or shows nothing (0, 1e9).
inline constexpr double kSmallestScaleFactor = 0.25;
inline constexpr double kLargestScaleFactor = 8.0;

// Why no window can be shown under these settings, in words; nothing when the start may go on. A
// scale factor the toolkit cannot read as a number (or, for a screen's, one not above 0, and a
// dots-per-inch not a whole number above 0) is left for it to ignore, as it does.
[[nodiscard]] std::optional<std::string> refusedSettings(const StartSettings &settings);

// The fewest bits per pixel the window can be drawn at: the toolkit's group-box painting crashes
// on a display of 8 bits (indexed colour).
inline constexpr int kSmallestColourDepth = 15;

// Why the window cannot be drawn on a screen of `depth` bits per pixel; nothing when it can.
[[nodiscard]] std::optional<std::string> refusedColourDepth(int depth);

} // namespace forms
