// SPDX-License-Identifier: MIT
// What the start over Qt reads of Qt's own words and tells the user; see start_messages.hpp.
#include "forms/qt/start_messages.hpp"

#include "forms/core/start_texts.hpp"
#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace forms {

namespace {

DisplayEnvironment g_environment;

// Where Qt's complaints are held until the window is up (StartupMessages' buffer, so nothing here
// needs constructing before main).
std::string *g_heldMessages = nullptr;

// The message handler in place when the window came up; every message but one goes on to it.
QtMessageHandler g_runningHandler = nullptr;

// The line of Qt's held messages that begins with `lead`, without its line end; nothing when none.
std::optional<std::string_view> lineStarting(std::string_view messages, std::string_view lead)
{
    const std::size_t at = messages.find(lead);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view line = messages.substr(at);
    line = line.substr(0, line.find('\n'));
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

// The quoted name in one of Qt's lines, such as the platform in
// `Could not find the Qt platform plugin "nonesuch" in ""`.
std::optional<std::string_view> firstQuoted(std::optional<std::string_view> line)
{
    const std::size_t begin = line ? line->find('"') : std::string_view::npos;
    const std::size_t end = begin == std::string_view::npos ? begin : line->find('"', begin + 1);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return line->substr(begin + 1, end - begin - 1);
}

// Our words, then Qt's, which people search for.
std::string withQtWords(const std::string &ours, std::string_view qt)
{
    return ours + "; Qt: " + printable(qt);
}

void startupMessageHandler(QtMsgType type, const QMessageLogContext & /*context*/,
                           const QString &message)
{
    const QByteArray text = message.toLocal8Bit();
    if (type == QtFatalMsg) {
        refuseStart(describeStartFailure(
            g_environment, g_heldMessages != nullptr ? *g_heldMessages : std::string_view(),
            std::string_view(text.constData(), static_cast<std::size_t>(text.size()))));
    }
    if (g_heldMessages != nullptr) {
        g_heldMessages->append(text.constData()).append("\n");
        return;
    }
    std::fprintf(stderr, "%s\n", text.constData());
}

// Qt's xcb and Wayland platforms end the program with exit(1) and their own words when the
// display server goes away; the user reads one line of ours instead, and the status says the
// window could not stay.
void runningMessageHandler(QtMsgType type, const QMessageLogContext &context,
                           const QString &message)
{
    if (message.startsWith(QLatin1String("The X11 connection broke"))
        || message.startsWith(QLatin1String("The Wayland connection broke"))) {
        printLine(withQtWords(awaitedDisplay(g_environment) + " went away; the window is gone",
                              message.toLocal8Bit().toStdString()));
        endStart(kStartFailureExitCode);
    }
    if (g_runningHandler != nullptr) {
        g_runningHandler(type, context, message);
    }
}

} // namespace

const DisplayEnvironment &readEnvironment(const CommandLine &commandLine)
{
    const std::optional<std::string_view> display = commandLine.toolkitValue("-display");
    const std::optional<std::string_view> platform = commandLine.toolkitValue("-platform");
    g_environment = {
        .platform = platform ? platform : environment("QT_QPA_PLATFORM"),
        .display = display ? display : environment("DISPLAY"),
        .waylandDisplay = environment("WAYLAND_DISPLAY"),
        .waylandSession = environment("XDG_SESSION_TYPE") == "wayland",
    };
    return g_environment;
}

std::string awaitedDisplay(const DisplayEnvironment &asked)
{
    if (asked.platform ? asked.platform->starts_with("wayland")
                       : asked.waylandSession && asked.waylandDisplay) {
        return "the Wayland socket " + quoted(asked.waylandDisplay.value_or("wayland-0"));
    }
    return asked.display ? "the display " + quoted(*asked.display) : "the display";
}

std::string describeStartFailure(const DisplayEnvironment &asked, std::string_view heldMessages,
                                 std::string_view fatalMessage)
{
    const auto notFound = lineStarting(heldMessages, "Could not find the Qt platform plugin \"");
    const auto notLoaded = lineStarting(heldMessages, "Could not load the Qt platform plugin \"");
    const auto named = firstQuoted(notFound ? notFound : notLoaded);
    const auto platform = named ? named : asked.platform;
    const std::string platformNamed = platform ? quoted(*platform) : "the default";

    if (const auto noDisplay = lineStarting(heldMessages, "could not connect to display")) {
        const std::string where = asked.display
            ? "the display " + quoted(*asked.display) + " does not answer"
            : std::string("DISPLAY is not set");
        return withQtWords(
            "no display is reachable (" + where + "; platform " + platformNamed + ")", *noDisplay);
    }
    if (notFound) {
        std::string text = "no usable platform plugin: " + platformNamed + " is not installed";
        constexpr std::string_view kLead = "Available platform plugins are: ";
        if (const auto available = lineStarting(
                fatalMessage.substr(std::min(fatalMessage.size(), fatalMessage.find(kLead))),
                kLead)) {
            std::string_view list = available->substr(kLead.size());
            list = list.substr(0, list.find_last_not_of('.') + 1);
            text += " (installed: " + printable(list) + ")";
        }
        return withQtWords(text, *notFound);
    }
    if (notLoaded) {
        return withQtWords("no usable platform plugin: " + platformNamed
                               + " is installed but could not start",
                           *notLoaded);
    }
    const std::string_view first = fatalMessage.substr(0, fatalMessage.find('\n'));
    return first.empty() ? std::string("the toolkit gave no reason") : printable(first);
}

StartupMessages::StartupMessages()
    : m_previous(qInstallMessageHandler(startupMessageHandler))
{
    g_heldMessages = &m_held;
}

StartupMessages::~StartupMessages()
{
    release();
}

void StartupMessages::release()
{
    if (g_heldMessages != &m_held) {
        return;
    }
    g_heldMessages = nullptr;
    qInstallMessageHandler(m_previous);
    std::fputs(m_held.c_str(), stderr);
    g_runningHandler = qInstallMessageHandler(runningMessageHandler);
}

} // namespace forms
