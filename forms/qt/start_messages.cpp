// SPDX-License-Identifier: MIT
// What the start over Qt reads of Qt's own words and tells the user; see start_messages.hpp.
#include "forms/qt/start_messages.hpp"

#include "forms/core/start_texts.hpp"
#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <string>

namespace forms {

namespace {

DisplayEnvironment g_environment;

// Where Qt's complaints are held until the window is up (StartupMessages' buffer, so nothing here
// needs constructing before main).
std::string *g_heldMessages = nullptr;

// The message handler in place before the start's (Qt's default one where none was installed).
QtMessageHandler g_previousHandler = nullptr;

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

// Until the window is up, holds Qt's messages back and turns its fatal one into our line; from
// then on passes every message on to the handler that was there before, but for one.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray text = message.toLocal8Bit();
    const std::string_view said(text.constData(), static_cast<std::size_t>(text.size()));
    if (g_heldMessages != nullptr) {
        if (type == QtFatalMsg) {
            refuseStart(describeStartFailure(g_environment, *g_heldMessages, said));
        }
        g_heldMessages->append(said).append("\n");
        return;
    }
    // Qt's xcb and Wayland platforms end the program with exit(1) and their own words when the
    // display server goes away; the user reads one line of ours instead, and the status says the
    // window could not stay.
    if (said.starts_with("The X11 connection broke")
        || said.starts_with("The Wayland connection broke")) {
        printLine(
            withQtWords(awaitedDisplay(g_environment) + " went away; the window is gone", said));
        endStart(kStartFailureExitCode);
    }
    g_previousHandler(type, context, message);
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
        if (const auto available = lineStarting(fatalMessage, kLead)) {
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
{
    g_heldMessages = &m_held;
    g_previousHandler = qInstallMessageHandler(messageHandler);
}

StartupMessages::~StartupMessages()
{
    release();
}

void StartupMessages::release()
{
    if (g_heldMessages == &m_held) {
        g_heldMessages = nullptr;
        std::fputs(m_held.c_str(), stderr);
    }
}

} // namespace forms
