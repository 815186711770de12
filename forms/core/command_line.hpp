// SPDX-License-Identifier: MIT
// The program's command line, decided before any window or display is touched: --help and
// --version answer in the terminal, the toolkit's own options pass through to it, and anything
// else is refused in one line.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace forms {

// How a toolkit option takes its value.
enum class OptionValue {
    None, // -reverse
    Next, // -platform NAME
    NextOrJoined, // -style NAME or -style=NAME
};

// An option the toolkit reads from the command line itself, named with one leading '-' (the
// toolkit also accepts two).
struct ToolkitOption {
    std::string_view name;
    OptionValue value = OptionValue::None;
};

enum class CommandAction { Run, ShowHelp, ShowVersion, Refuse };

struct CommandLine {
    CommandAction action = CommandAction::Run;
    std::string refusal; // why the command line is refused; empty unless action is Refuse
    // The toolkit options given, as (name with one '-', value or empty), in the order given.
    std::vector<std::pair<std::string_view, std::string_view>> toolkitValues;

    // The value the toolkit takes for the option `name` (the last one given); nothing when the
    // option is not given.
    [[nodiscard]] std::optional<std::string_view> toolkitValue(std::string_view name) const;
};

// Reads the arguments after the program's name, left to right: the first --help or --version (or
// -h, -?, -v) decides, as does the first argument that is neither ours nor the toolkit's.
CommandLine parseCommandLine(std::span<const std::string_view> arguments,
                             std::span<const ToolkitOption> toolkitOptions);

} // namespace forms
