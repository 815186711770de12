// SPDX-License-Identifier: MIT
// What the start over Qt makes of Qt's words and settings; see start_messages.hpp.
#include "forms/qt/start_messages.hpp"

#include "forms/core/start_texts.hpp"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cmath>

namespace forms {

namespace {

// The line of `messages` that begins with `lead`, without its line end and trailing blanks.
std::optional<std::string_view> lineStarting(std::string_view messages, std::string_view lead)
{
    const std::size_t at = messages.find(lead);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view line = messages.substr(at, messages.find('\n', at) - at);
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

// A number as the lines show it: "0.25", "8", "1e+09".
std::string shown(double value)
{
    return QByteArray::number(value).toStdString();
}

// A scale factor, read with Qt's own conversion as Qt reads it; nothing where Qt reads none.
std::optional<double> factor(QByteArrayView text)
{
    bool read = false;
    const double value = text.toDouble(&read);
    return read ? std::optional(value) : std::nullopt;
}

bool withinScale(double factor)
{
    return std::isfinite(factor) && factor >= kSmallestScaleFactor && factor <= kLargestScaleFactor;
}

} // namespace

std::string withQtWords(const std::string &ours, std::string_view qt)
{
    return ours + "; Qt: " + printable(qt);
}

std::string describeStartFailure(const StartEnvironment &asked, std::string_view heldMessages,
                                 std::string_view fatalMessage)
{
    const auto notFound = lineStarting(heldMessages, "Could not find the Qt platform plugin \"");
    const auto plugin = notFound
        ? notFound
        : lineStarting(heldMessages, "Could not load the Qt platform plugin \"");
    // The plugin's name is in quotes; where no plugin is named, the platform is the one asked for.
    const std::string_view named = plugin ? plugin->substr(plugin->find('"') + 1) : "";
    const auto platform = plugin ? std::optional(named.substr(0, named.find('"'))) : asked.platform;
    const std::string platformNamed = platform ? quoted(*platform) : "the default";
    if (const auto noDisplay = lineStarting(heldMessages, "could not connect to display")) {
        const std::string where = asked.display
            ? "the display " + quoted(*asked.display) + " does not answer"
            : std::string("DISPLAY is not set");
        return withQtWords(
            "no display is reachable (" + where + "; platform " + platformNamed + ")", *noDisplay);
    }
    if (plugin) {
        std::string text = "no usable platform plugin: " + platformNamed
            + (notFound ? " is not installed" : " is installed but could not start");
        constexpr std::string_view kLead = "Available platform plugins are: ";
        if (const auto available = lineStarting(fatalMessage, kLead); notFound && available) {
            const std::string_view list = available->substr(kLead.size());
            text += " (installed: " + printable(list.substr(0, list.find_last_not_of('.') + 1))
                + ")";
        }
        return withQtWords(text, *plugin);
    }
    const std::string_view first = fatalMessage.substr(0, fatalMessage.find('\n'));
    return first.empty() ? std::string("the toolkit gave no reason") : printable(first);
}

std::optional<std::string> refusedSettings(const StartEnvironment &asked)
{
    if (asked.platform && asked.platform->substr(0, asked.platform->find(':')) == "vkkhrdisplay") {
        return "the platform \"vkkhrdisplay\" shows only Vulkan surfaces, not windows";
    }
    const std::string range = shown(kSmallestScaleFactor) + " to " + shown(kLargestScaleFactor);
    const std::string noWindow = " leaves no window that can be shown (";
    // The settings that scale the whole window, in words, and the scale they come to together.
    std::string named;
    double scale = 1;
    if (const auto whole = factor(asked.scaleFactor.value_or(""))) {
        named = "QT_SCALE_FACTOR=" + shown(*whole);
        if (!withinScale(*whole)) {
            return named + noWindow + "it must be a number from " + range + ")";
        }
        scale = *whole;
    }
    bool dpiRead = false; // as qEnvironmentVariableIntValue reads it
    if (const int dpi = QByteArrayView(asked.fontDpi.value_or("")).toInt(&dpiRead, 0);
        dpiRead && dpi > 0) {
        named += (named.empty() ? "QT_FONT_DPI=" : " with QT_FONT_DPI=") + std::to_string(dpi);
        scale *= dpi / 96.0; // Qt draws the window at its designed size at 96 dots per inch
    }
    if (!withinScale(scale)) {
        return named + noWindow + "it is scaled by " + shown(scale) + "; the scale must come to "
            + range + ")";
    }
    // The first screen's factor that leaves no window, alone or with the rest.
    std::optional<double> screen;
    const QByteArray screens = QByteArrayView(asked.screenScaleFactors.value_or("")).toByteArray();
    for (const QByteArray &entry : screens.split(';')) {
        screen = factor(entry.mid(entry.lastIndexOf('=') + 1)); // -1 + 1: all of it
        if (screen && *screen > 0 && (!withinScale(*screen) || !withinScale(scale * *screen))) {
            break;
        }
        screen.reset();
    }
    if (!screen) {
        return std::nullopt;
    }
    const std::string factor = "the factor " + shown(*screen) + " in QT_SCREEN_SCALE_FACTORS";
    if (!withinScale(*screen)) {
        return factor + noWindow + "each must be a number from " + range + ")";
    }
    return named + " with " + factor + noWindow + "together they scale it by "
        + shown(scale * *screen) + "; the scale must come to " + range + ")";
}

} // namespace forms
