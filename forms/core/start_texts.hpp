// SPDX-License-Identifier: MIT
// What the program's start says in a terminal, the same words on every platform, each line naming
// the program as its project description does and every value it echoes escaped.
#pragma once

#include "forms/core/project.hpp"
#include "text/unicode.hpp"

#include <string>
#include <string_view>

namespace forms {

// The usage and our options, then `toolkitOptions`: a paragraph on the options the toolkit reads
// itself (empty where there is none).
[[nodiscard]] inline std::string helpText(const ProjectDescription &project,
                                          std::string_view toolkitOptions)
{
    return "Usage: " + std::string(project.name) + " [OPTION]...\nOpens the window \""
        + std::string(project.startupForm != nullptr ? project.startupForm->caption : "")
        + "\".\n\n"
          "  -h, --help     show this help and exit\n"
          "  -v, --version  show the version and exit\n"
        + (toolkitOptions.empty() ? "" : "\n" + std::string(toolkitOptions));
}

// "NAME VERSION\n".
[[nodiscard]] inline std::string versionText(const ProjectDescription &project)
{
    return std::string(project.name) + " " + std::string(project.version) + "\n";
}

// "NAME: TEXT\n": every line the start writes on its own behalf.
[[nodiscard]] inline std::string programLine(std::string_view program, std::string_view text)
{
    return std::string(program) + ": " + std::string(text) + "\n";
}

// The line of a refused command line: what is wrong, and where the options are listed.
[[nodiscard]] inline std::string refusalLine(std::string_view program, std::string_view what)
{
    return programLine(
        program, std::string(what) + " (" + std::string(program) + " --help lists the options)");
}

// The line of a start that cannot show the window.
[[nodiscard]] inline std::string startFailureLine(std::string_view program, std::string_view reason)
{
    return programLine(program, "cannot open the window: " + std::string(reason));
}

// `text` as a line shows a value it was given, escaped as icatlas-find escapes what it echoes
// (text/unicode.hpp), so that no value can forge a line, colour the terminal or turn it round.
// quoted() puts it in double quotes.
using icatlas::text::printable;
[[nodiscard]] inline std::string quoted(std::string_view text)
{
    return "\"" + printable(text) + "\"";
}

} // namespace forms
