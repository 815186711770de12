// SPDX-License-Identifier: MIT
// The command line's reading; see command_line.hpp.
#include "forms/command_line.hpp"

#include <algorithm>
#include <utility>

namespace forms {

namespace {

CommandLine refuse(std::string reason)
{
    return {.action = CommandAction::Refuse, .refusal = std::move(reason)};
}

std::string quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string_view> arguments,
                             std::span<const ToolkitOption> toolkitOptions)
{
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
                return refuse("unexpected argument " + quoted(arguments[i + 1]));
            }
            continue;
        }
        if (argument.size() < 2 || argument.front() != '-') {
            return refuse("unexpected argument " + quoted(argument));
        }
        // The toolkit reads "--style" as "-style".
        std::string_view name = argument.starts_with("--") ? argument.substr(1) : argument;
        const std::size_t equals = name.find('=');
        const bool hasEquals = equals != std::string_view::npos;
        name = name.substr(0, equals);
        const auto option = std::find_if(
            toolkitOptions.begin(), toolkitOptions.end(),
            [name](const ToolkitOption &candidate) { return candidate.name == name; });
        if (option == toolkitOptions.end()
            || (hasEquals && option->value != OptionValue::NextOrJoined)) {
            return refuse("unknown option " + quoted(argument));
        }
        if (option->value != OptionValue::None && !hasEquals) {
            if (i + 1 == arguments.size()) {
                return refuse("option " + quoted(argument) + " needs a value");
            }
            ++i;
        }
    }
    return {};
}

} // namespace forms
