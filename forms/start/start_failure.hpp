// SPDX-License-Identifier: MIT
// The start's own lines: the program's name they begin with, the line of a refused command line
// and the one line a start that cannot show the window ends with; and the environment read for
// them. Toolkit-free.
#pragma once

#include "forms/core/command_line.hpp"
#include "forms/core/project.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace forms {

// The name every line of the start begins with: the project description's.
void setProgramName(std::string_view name);
[[nodiscard]] std::string_view programName();

// An environment variable's value; nothing when it is unset or empty.
[[nodiscard]] std::optional<std::string_view> environment(const char *name);

// Writes one line of the program's ("NAME: TEXT") to stderr at once.
void printLine(std::string_view text);

// Answers --help (with `toolkitOptions`, as helpText takes it) and --version on stdout, or
// refuses the command line on stderr, and returns the exit status; nothing when the program is to
// run.
[[nodiscard]] std::optional<int> answerCommandLine(const ProjectDescription &project,
                                                   const CommandLine &commandLine,
                                                   std::string_view toolkitOptions);

// Where XDG_RUNTIME_DIR is not set, the toolkit makes a runtime folder of its own in /tmp and
// leaves it there; while it lives, this gives the process a private one instead (in $TMPDIR),
// removed when it goes or the start ends with endStart() or the watchdog.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder();
    ~PrivateRuntimeFolder();
    PrivateRuntimeFolder(const PrivateRuntimeFolder &) = delete;
    PrivateRuntimeFolder &operator=(const PrivateRuntimeFolder &) = delete;

private:
    std::string m_path;
};

// Ends the process at once with `status`, leaving nothing behind: nothing of the toolkit is
// closed, so no destructor runs.
[[noreturn]] void endStart(int status);

// The one line of a start that cannot show the window, then the end: nothing has been shown, so
// there is nothing to close.
[[noreturn]] void refuseStart(std::string_view reason);

} // namespace forms
