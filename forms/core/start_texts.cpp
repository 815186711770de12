// SPDX-License-Identifier: MIT
// The start's words; see start_texts.hpp.
#include "forms/core/start_texts.hpp"

namespace forms {

std::string helpText(const ProjectDescription &project, std::string_view toolkitOptions)
{
    std::string text = "Usage: ";
    text.append(project.name).append(" [OPTION]...\nOpens the window \"");
    if (project.startupForm != nullptr) {
        text.append(project.startupForm->caption);
    }
    text.append("\".\n\n"
                "  -h, --help     show this help and exit\n"
                "  -v, --version  show the version and exit\n");
    if (!toolkitOptions.empty()) {
        text.append("\n").append(toolkitOptions);
    }
    return text;
}

std::string versionText(const ProjectDescription &project)
{
    return std::string(project.name) + " " + std::string(project.version) + "\n";
}

std::string programLine(std::string_view program, std::string_view text)
{
    return std::string(program) + ": " + std::string(text) + "\n";
}

std::string refusalLine(std::string_view program, std::string_view what)
{
    return programLine(
        program, std::string(what) + " (" + std::string(program) + " --help lists the options)");
}

std::string startFailureLine(std::string_view program, std::string_view reason)
{
    return programLine(program, "cannot open the window: " + std::string(reason));
}

std::string quoted(std::string_view text)
{
    return "\"" + printable(text) + "\"";
}

} // namespace forms
