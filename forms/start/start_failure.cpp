// SPDX-License-Identifier: MIT
// Reads the cause of a failed start out of Qt's own messages.
#include "forms/start/start_failure.hpp"

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

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// The platform's name without its options ("xcb" of "xcb:nograb").
std::string_view platformName(std::string_view platform)
{
    return platform.substr(0, platform.find(':'));
}

// The number in `text`, as the toolkit reads QT_SCALE_FACTOR (blanks around it and a leading '+'
// allowed); nothing when it is not one.
std::optional<double> number(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
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

} // namespace

std::optional<std::string> refusedSettings(const StartSettings &settings)
{
    if (settings.platform && platformName(*settings.platform) == "vkkhrdisplay") {
        return "the platform \"vkkhrdisplay\" shows only Vulkan surfaces, not windows";
    }
    if (settings.scaleFactor) {
        const std::optional<double> factor = number(*settings.scaleFactor);
        if (factor
            && !(std::isfinite(*factor) && *factor >= kSmallestScaleFactor
                 && *factor <= kLargestScaleFactor)) {
            std::array<char, 32> shown {};
            std::snprintf(shown.data(), shown.size(), "%g", *factor);
            return "QT_SCALE_FACTOR=" + std::string(shown.data())
                + " leaves no window that can be shown (it must be a number from 0.25 to 8)";
        }
    }
    return std::nullopt;
}

std::optional<std::string> refusedColourDepth(int depth)
{
    if (depth >= kSmallestColourDepth) {
        return std::nullopt;
    }
    return "the display has " + std::to_string(depth)
        + "-bit colour; the window needs at least 15 bits per pixel";
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
