// SPDX-License-Identifier: MIT
// The check of Qt's settings before it starts; see start_settings.hpp.
#include "forms/qt/start_settings.hpp"

#include "forms/core/start_texts.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace forms {

namespace {

// A number as the messages show it: "0.25", "8", "1e+09".
std::string shown(double value)
{
    std::array<char, 32> text {};
    std::snprintf(text.data(), text.size(), "%g", value);
    return text.data();
}

// The platform's name without its options ("xcb" of "xcb:nograb").
std::string_view platformName(std::string_view platform)
{
    return platform.substr(0, platform.find(':'));
}

// `text` without the blanks around it (empty when it is all blanks).
std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The number in `text`, as the toolkit reads QT_SCALE_FACTOR (blanks around it and a leading '+'
// allowed); nothing when it is not one.
std::optional<double> number(std::string_view text)
{
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A whole number in `text` (blanks around it allowed), as the toolkit reads QT_FONT_DPI.
std::optional<int> wholeNumber(std::string_view text)
{
    text = trimmed(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The dots per inch at which the toolkit draws the window at its designed size.
constexpr double kNeutralDpi = 96;

bool withinScale(double factor)
{
    return std::isfinite(factor) && factor >= kSmallestScaleFactor && factor <= kLargestScaleFactor;
}

} // namespace

std::optional<std::string> refusedSettings(const StartSettings &settings)
{
    const std::string range = shown(kSmallestScaleFactor) + " to " + shown(kLargestScaleFactor);
    constexpr std::string_view kSurfacesOnly = "vkkhrdisplay";
    if (settings.platform && platformName(*settings.platform) == kSurfacesOnly) {
        return "the platform " + quoted(kSurfacesOnly) + " shows only Vulkan surfaces, not windows";
    }
    constexpr std::string_view kNoWindow = " leaves no window that can be shown";
    // The settings that scale the window, in words, and the scale they come to together.
    std::string named;
    double scale = 1;
    if (settings.scaleFactor) {
        if (const std::optional<double> factor = number(*settings.scaleFactor)) {
            if (!withinScale(*factor)) {
                return "QT_SCALE_FACTOR=" + shown(*factor) + std::string(kNoWindow)
                    + " (it must be a number from " + range + ")";
            }
            named = "QT_SCALE_FACTOR=" + shown(*factor);
            scale = *factor;
        }
    }
    if (settings.fontDpi) {
        if (const std::optional<int> dpi = wholeNumber(*settings.fontDpi); dpi && *dpi > 0) {
            named += (named.empty() ? "" : " with ") + ("QT_FONT_DPI=" + std::to_string(*dpi));
            scale *= *dpi / kNeutralDpi;
        }
    }
    if (!withinScale(scale)) {
        return named + std::string(kNoWindow) + " (it is scaled by " + shown(scale)
            + "; the scale must come to " + range + ")";
    }
    // Each screen's factor, alone and with the rest; the toolkit skips one it cannot read.
    for (std::string_view factors = settings.screenScaleFactors.value_or(std::string_view());
         !factors.empty();) {
        const std::string_view entry = factors.substr(0, factors.find(';'));
        factors.remove_prefix(std::min(factors.size(), entry.size() + 1));
        const std::size_t equals = entry.rfind('=');
        const std::optional<double> factor
            = number(equals == std::string_view::npos ? entry : entry.substr(equals + 1));
        if (!factor || !(*factor > 0)) {
            continue;
        }
        const std::string screen = "the factor " + shown(*factor) + " in QT_SCREEN_SCALE_FACTORS";
        if (!withinScale(*factor)) {
            std::string said = screen;
            said.append(kNoWindow).append(" (each must be a number from ").append(range);
            return said.append(")");
        }
        if (!withinScale(scale * *factor)) {
            std::string said = named;
            said.append(" with ").append(screen).append(kNoWindow);
            said.append(" (together they scale it by ").append(shown(scale * *factor));
            return said.append("; the scale must come to ").append(range).append(")");
        }
    }
    return std::nullopt;
}

std::optional<std::string> refusedColourDepth(int depth)
{
    if (depth >= kSmallestColourDepth) {
        return std::nullopt;
    }
    return "the display has " + std::to_string(depth) + "-bit colour; the window needs at least "
        + std::to_string(kSmallestColourDepth) + " bits per pixel";
}

} // namespace forms
