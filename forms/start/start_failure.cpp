// SPDX-License-Identifier: MIT
// The start's own lines; see start_failure.hpp.
#include "forms/start/start_failure.hpp"

#include "forms/core/start_texts.hpp"
#include "forms/start/runtime.hpp"

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace forms {

namespace {

std::string_view g_programName;
#if !defined(_WIN32)
// The private runtime folder's path while there is one; read by the watchdog's signal handler.
std::atomic<const char *> g_runtimeFolder {nullptr};
#endif

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
        std::fputs(refusalLine(g_programName, commandLine.refusal).c_str(), stderr);
        break;
    }
    return kUsageExitCode;
}

#if !defined(_WIN32) // the runtime folder is the freedesktop toolkits'; Windows has none
PrivateRuntimeFolder::PrivateRuntimeFolder()
{
    if (environment("XDG_RUNTIME_DIR")) {
        return;
    }
    const std::string_view folder = environment("TMPDIR").value_or("/tmp");
    m_path = std::string(folder) + "/" + std::string(g_programName) + "-runtime-XXXXXX";
    if (::mkdtemp(m_path.data()) == nullptr) {
        m_path.clear();
        return;
    }
    ::setenv("XDG_RUNTIME_DIR", m_path.c_str(), 1); // NOLINT(concurrency-mt-unsafe): no thread yet
    g_runtimeFolder = m_path.c_str();
}

PrivateRuntimeFolder::~PrivateRuntimeFolder()
{
    g_runtimeFolder = nullptr;
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}
#endif

void endStart(int status)
{
#if !defined(_WIN32)
    // rmdir only, which a signal handler may call: the watchdog ends the start through here.
    if (const char *path = g_runtimeFolder.load(); path != nullptr) {
        ::rmdir(path);
    }
#endif
    std::_Exit(status);
}

void refuseStart(std::string_view reason)
{
    std::fputs(startFailureLine(g_programName, reason).c_str(), stderr);
    std::fflush(stderr);
    endStart(kStartFailureExitCode);
}

} // namespace forms
