// SPDX-License-Identifier: MIT
// The command line's reading; see command_line.hpp.
#include "forms/core/command_line.hpp"

#include "forms/core/start_texts.hpp"

#include <algorithm>

namespace forms {

namespace {

// "<what> '<argument>'<after>": the reason a command line is refused, the argument escaped so
// that it can neither forge a line nor colour the terminal.
CommandLine refuse(std::string_view what, std::string_view argument, std::string_view after = {})
{
    return {.action = CommandAction::Refuse,
            .refusal = std::string(what) + " '" + printable(argument) + "'" + std::string(after)};
}

} // namespace

std::optional<std::string_view> CommandLine::toolkitValue(std::string_view name) const
{
    const auto last = std::find_if(toolkitValues.rbegin(), toolkitValues.rend(),
                                   [name](const auto &given) { return given.first == name; });
    return last == toolkitValues.rend() ? std::nullopt : std::optional(last->second);
}

CommandLine parseCommandLine(std::span<const std::string_view> arguments,
                             std::span<const ToolkitOption> toolkitOptions)
{
    CommandLine read;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "-?") {
            return {.action = CommandAction::ShowHelp};
        }
        if (argument == "--version" || argument == "-v") {
            return {.action = CommandAction::ShowVersion};
        }
        if (argument == "--") {
            if (i + 1 < arguments.size()) {
                return refuse("unexpected argument", arguments[i + 1]);
            }
            continue;
        }
        if (argument.size() < 2 || argument.front() != '-') {
            return refuse("unexpected argument", argument);
        }
        // The toolkit reads "--style" as "-style".
        std::string_view name = argument.starts_with("--") ? argument.substr(1) : argument;
        const std::size_t equals = name.find('=');
        const bool hasEquals = equals != std::string_view::npos;
        name = name.substr(0, equals);
        const auto option = std::ranges::find(toolkitOptions, name, &ToolkitOption::name);
        if (option == toolkitOptions.end()
            || (hasEquals && option->value != OptionValue::NextOrJoined)) {
            return refuse("unknown option", argument);
        }
        std::string_view value = hasEquals ? argument.substr(argument.find('=') + 1) : "";
        if (option->value != OptionValue::None && !hasEquals) {
            if (i + 1 == arguments.size()) {
                return refuse("option", argument, " needs a value");
            }
            value = arguments[++i];
        }
        read.toolkitValues.emplace_back(option->name, value);
    }
    return read;
}

} // namespace forms
