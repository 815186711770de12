// SPDX-License-Identifier: MIT
// The forms runtime's entry: creates the start-up form of a project, runs the event loop, and
// is where an untrapped run-time error ends the program.
#pragma once

#include "forms/core/project.hpp"

#include <exception>

namespace forms {

// Exit status after an untrapped run-time error has been reported.
inline constexpr int kUntrappedErrorExitCode = 70;
// Exit status when the window cannot be opened at all (no display, no usable platform).
inline constexpr int kStartFailureExitCode = 3;

// Exit status when the command line is refused (an unknown option or a stray argument).
inline constexpr int kUsageExitCode = 2;

// Answers --help and --version on stdout, or refuses the command line in one line on stderr
// (kUsageExitCode), without any display; or else starts the project, passing on the options the
// platform's toolkit reads itself, and returns what the event loop returns. argc and argv are kept
// for the program's lifetime.
int runProject(const ProjectDescription &project, int &argc, char **argv);

// Reports an error that no handler trapped (a dialog and the same line on stderr), then ends the
// event loop with kUntrappedErrorExitCode once the user has read it.
void reportUntrappedError(const std::exception &error);

} // namespace forms
