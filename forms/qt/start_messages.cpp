// SPDX-License-Identifier: MIT
// What the start over Qt tells the user: the one line of a refused or failed start, the toolkit's
// own messages held back until the window is up, and the one line of a display gone away.
#include "forms/qt/start_messages.hpp"

#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace forms {

namespace {

std::string_view g_programName = "icatlas";

// Until the window is up, Qt's own complaints are held back here: a start that fails is reported
// in one line of ours, not in the toolkit's several. A start that succeeds passes them on.
// (A pointer to StartupMessages' buffer, so nothing here needs constructing before main.)
std::string *g_heldMessages = nullptr;

int programNameLength()
{
    return static_cast<int>(g_programName.size());
}

DisplayEnvironment g_environment;

} // namespace

std::optional<std::string_view> environment(const char *name)
{
    const char *value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): read before any thread
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string_view(value);
}

void setProgramName(std::string_view name)
{
    g_programName = name;
}

std::string_view programName()
{
    return g_programName;
}

void readEnvironment(const CommandLine &commandLine)
{
    const std::optional<std::string_view> display = commandLine.toolkitValue("-display");
    const std::optional<std::string_view> platform = commandLine.toolkitValue("-platform");
    g_environment = {
        .platform = platform ? platform : environment("QT_QPA_PLATFORM"),
        .display = display ? display : environment("DISPLAY"),
        .waylandDisplay = environment("WAYLAND_DISPLAY"),
        .scaleFactor = environment("QT_SCALE_FACTOR"),
        .screenScaleFactors = environment("QT_SCREEN_SCALE_FACTORS"),
        .fontDpi = environment("QT_FONT_DPI"),
    };
}

const DisplayEnvironment &displayEnvironment()
{
    return g_environment;
}

StartFailure askedFor()
{
    return {.requestedPlatform = g_environment.platform, .display = g_environment.display};
}

std::string startFailureLine(std::string_view reason)
{
    return std::string(g_programName) + ": cannot open the window: " + std::string(reason) + "\n";
}

void printRefusal(std::string_view what)
{
    std::fprintf(stderr, "%.*s: %.*s (%.*s --help lists the options)\n", programNameLength(),
                 g_programName.data(), static_cast<int>(what.size()), what.data(),
                 programNameLength(), g_programName.data());
}

void refuseStart(const std::string &reason)
{
    std::fputs(startFailureLine(reason).c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(kStartFailureExitCode);
}

namespace {

void startupMessageHandler(QtMsgType type, const QMessageLogContext & /*context*/,
                           const QString &message)
{
    const QByteArray text = message.toLocal8Bit();
    if (type == QtFatalMsg) {
        StartFailure failure = askedFor();
        failure.heldMessages = g_heldMessages != nullptr ? *g_heldMessages : std::string_view();
        failure.fatalMessage
            = std::string_view(text.constData(), static_cast<std::size_t>(text.size()));
        refuseStart(describeStartFailure(failure));
    }
    if (g_heldMessages != nullptr) {
        g_heldMessages->append(text.constData()).append("\n");
        return;
    }
    std::fprintf(stderr, "%s\n", text.constData());
}

// The message handler that was in place when the window came up; every message but one goes on to
// it.
QtMessageHandler g_runningHandler = nullptr;

// Qt's xcb and Wayland platforms end the program with exit(1) and their own words when the
// display server goes away; the user reads one line of ours instead, and the status says the
// window could not stay.
void runningMessageHandler(QtMsgType type, const QMessageLogContext &context,
                           const QString &message)
{
    const bool x11 = message.startsWith(QLatin1String("The X11 connection broke"));
    if (x11 || message.startsWith(QLatin1String("The Wayland connection broke"))) {
        const std::optional<std::string_view> display
            = x11 ? g_environment.display : g_environment.waylandDisplay;
        const std::string named
            = display ? "the display \"" + std::string(*display) + "\"" : "the display";
        std::fprintf(stderr, "%.*s: %s went away; the window is gone\n", programNameLength(),
                     g_programName.data(), named.c_str());
        std::fflush(stderr);
        std::_Exit(kStartFailureExitCode);
    }
    if (g_runningHandler != nullptr) {
        g_runningHandler(type, context, message);
    }
}

} // namespace

StartupMessages::StartupMessages()
    : m_previous(qInstallMessageHandler(startupMessageHandler))
{
    g_heldMessages = &m_held;
}

StartupMessages::~StartupMessages()
{
    release();
}

void StartupMessages::discard()
{
    m_held.clear();
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
}

void passOnRunningMessages()
{
    g_runningHandler = qInstallMessageHandler(runningMessageHandler);
}

} // namespace forms
