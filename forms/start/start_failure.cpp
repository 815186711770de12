// SPDX-License-Identifier: MIT
// Reads the cause of a failed start out of Qt's own messages.
#include "forms/start/start_failure.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace forms {

namespace {

// The quoted name after `prefix` in one of the held lines, such as the platform in
// `Could not find the Qt platform plugin "nonesuch" in ""`; nothing when no line has it.
std::optional<std::string_view> quotedAfter(std::string_view messages, std::string_view prefix)
{
    const std::size_t at = messages.find(prefix);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t begin = at + prefix.size();
    const std::size_t end = messages.find('"', begin);
    if (end == std::string_view::npos
        || messages.substr(begin, end - begin).find('\n') != std::string_view::npos) {
        return std::nullopt;
    }
    return messages.substr(begin, end - begin);
}

// The list after "Available platform plugins are: " up to its closing full stop, if Qt gave one.
std::optional<std::string_view> availablePlugins(std::string_view fatal)
{
    constexpr std::string_view kLead = "Available platform plugins are: ";
    const std::size_t at = fatal.find(kLead);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view list = fatal.substr(at + kLead.size());
    list = list.substr(0, list.find('\n'));
    if (!list.empty() && list.back() == '.') {
        list.remove_suffix(1);
    }
    return list.empty() ? std::nullopt : std::optional(list);
}

// A number as the messages show it: "0.25", "8", "1e+09".
std::string shown(double value)
{
    std::array<char, 32> text {};
    std::snprintf(text.data(), text.size(), "%g", value);
    return text.data();
}

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
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

std::string describeSilentDisplay(const StartFailure &failure, int seconds)
{
    const std::string platform
        = failure.requestedPlatform ? quoted(*failure.requestedPlatform) : "the default";
    const std::string display
        = failure.display ? "the display " + quoted(*failure.display) : std::string("the display");
    return "no display is reachable (" + display + " did not answer within "
        + std::to_string(seconds) + " s; platform " + platform + ")";
}

std::string describeUndrawnWindow(const StartFailure &failure, int seconds)
{
    const std::string display
        = failure.display ? "the display " + quoted(*failure.display) : std::string("the display");
    return "the window was not drawn within " + std::to_string(seconds) + " s (" + display
        + ", the session bus or the accessibility bus did not answer)";
}

std::string describeStartFailure(const StartFailure &failure)
{
    const std::string_view held = failure.heldMessages;
    const auto notFound = quotedAfter(held, "Could not find the Qt platform plugin \"");
    const auto notLoaded = quotedAfter(held, "Could not load the Qt platform plugin \"");
    const auto named = notFound ? notFound : (notLoaded ? notLoaded : failure.requestedPlatform);
    const std::string platform = named ? quoted(*named) : std::string("the default");

    if (held.find("could not connect to display") != std::string_view::npos) {
        const std::string where = failure.display
            ? "the display " + quoted(*failure.display) + " does not answer"
            : std::string("DISPLAY is not set");
        return "no display is reachable (" + where + "; platform " + platform + ")";
    }
    if (notFound) {
        std::string text = "no usable platform plugin: " + platform + " is not installed";
        if (const auto available = availablePlugins(failure.fatalMessage)) {
            text += " (installed: " + std::string(*available) + ")";
        }
        return text;
    }
    if (notLoaded) {
        return "no usable platform plugin: " + platform + " is installed but could not start";
    }
    std::string_view first = failure.fatalMessage.substr(0, failure.fatalMessage.find('\n'));
    return first.empty() ? std::string("the toolkit gave no reason") : std::string(first);
}

} // namespace forms
