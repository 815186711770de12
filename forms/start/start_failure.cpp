// SPDX-License-Identifier: MIT
// The start's own lines; see start_failure.hpp.
#include "forms/start/start_failure.hpp"

#include "forms/core/start_texts.hpp"
#include "forms/start/runtime.hpp"

#include <cstdio>
#include <cstdlib>

namespace forms {

namespace {

std::string_view g_programName;

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

void printLine(std::string_view text)
{
    std::fputs(programLine(g_programName, text).c_str(), stderr);
    std::fflush(stderr);
}

void printRefusal(std::string_view what)
{
    std::fputs(refusalLine(g_programName, what).c_str(), stderr);
}

std::optional<int> answerCommandLine(const ProjectDescription &project,
                                     const CommandLine &commandLine,
                                     std::string_view toolkitOptions)
{
    switch (commandLine.action) {
    case CommandAction::Run:
        return std::nullopt;
    case CommandAction::ShowHelp:
        std::fputs(helpText(project, toolkitOptions).c_str(), stdout);
        return 0;
    case CommandAction::ShowVersion:
        std::fputs(versionText(project).c_str(), stdout);
        return 0;
    case CommandAction::Refuse:
        printRefusal(commandLine.refusal);
        break;
    }
    return kUsageExitCode;
}

void refuseStart(std::string_view reason)
{
    std::fputs(startFailureLine(g_programName, reason).c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(kStartFailureExitCode);
}

} // namespace forms
