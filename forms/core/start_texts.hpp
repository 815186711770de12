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
[[nodiscard]] std::string helpText(const ProjectDescription &project,
                                   std::string_view toolkitOptions);

// "NAME VERSION\n".
[[nodiscard]] std::string versionText(const ProjectDescription &project);

// "NAME: TEXT\n": every line the start writes on its own behalf.
[[nodiscard]] std::string programLine(std::string_view program, std::string_view text);

// The line of a refused command line: what is wrong, and where the options are listed.
[[nodiscard]] std::string refusalLine(std::string_view program, std::string_view what);

// The line of a start that cannot show the window.
[[nodiscard]] std::string startFailureLine(std::string_view program, std::string_view reason);

// `text` as a line shows a value it was given, escaped as icatlas-find escapes what it echoes
// (text/unicode.hpp), so that no value can forge a line, colour the terminal or turn it round.
// quoted() puts it in double quotes.
using icatlas::text::printable;
[[nodiscard]] std::string quoted(std::string_view text);

} // namespace forms
