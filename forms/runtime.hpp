// SPDX-License-Identifier: MIT
// The forms runtime's entry: creates the start-up form of a project, runs the event loop, and
// is where an untrapped run-time error ends the program.
#pragma once

#include "forms/project.hpp"

#include <exception>

namespace forms {

// Exit status after an untrapped run-time error has been reported.
inline constexpr int kUntrappedErrorExitCode = 70;
// Exit status when the window cannot be opened at all (no display, no usable platform).
inline constexpr int kStartFailureExitCode = 3;

// Starts the project and returns what the event loop returns. Command-line arguments are not
// passed on: the program takes none.
int runProject(const ProjectDescription &project, const char *programPath);

// Reports an error that no handler trapped (a dialog and the same line on stderr), then ends the
// event loop with kUntrappedErrorExitCode once the user has read it.
void reportUntrappedError(const std::exception &error);

} // namespace forms
