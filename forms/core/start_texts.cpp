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

std::string printable(std::string_view text)
{
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown.append(1, '\\').append(1, c);
        } else if (c == '\n' || c == '\r' || c == '\t') {
            shown.append(1, '\\').append(1, c == '\n' ? 'n' : (c == '\r' ? 'r' : 't'));
        } else if (byte < 0x20 || byte >= 0x7f) {
            constexpr std::string_view kDigits = "0123456789abcdef";
            shown.append("\\x").append(1, kDigits[byte >> 4]).append(1, kDigits[byte & 0xf]);
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string quoted(std::string_view text)
{
    return "\"" + printable(text) + "\"";
}

} // namespace forms
