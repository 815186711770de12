// SPDX-License-Identifier: MIT
// The runtime's entry on Windows and its untrapped-error path: the command line answered in the
// console it was typed in, the start-up form made and shown, the message loop run.
#include "forms/start/runtime.hpp"

#include "forms/start/command_line.hpp"
#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

namespace {

std::string_view g_programName = "icatlas";
HWND g_reportOwner = nullptr; // the form's window, which the error report is modal to

// A program for the Windows desktop has no console of its own; started from one, it writes to
// the console it was started from, as a console program would. Where its streams were handed to
// it (redirected, or under a test), they are used as they are.
void reachConsole()
{
    static const bool reached = [] {
        if (GetStdHandle(STD_ERROR_HANDLE) != nullptr || !AttachConsole(ATTACH_PARENT_PROCESS)) {
            return true;
        }
        FILE *stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
        return true;
    }();
    (void)reached;
}

void printHelp(const ProjectDescription &project)
{
    const std::string_view name = project.name;
    const std::string_view caption = project.startupForm->caption;
    std::printf("Usage: %.*s [OPTION]...\n"
                "Opens the window \"%.*s\".\n"
                "\n"
                "  -h, --help     show this help and exit\n"
                "  -v, --version  show the version and exit\n",
                static_cast<int>(name.size()), name.data(), static_cast<int>(caption.size()),
                caption.data());
}

} // namespace

void reportUntrappedError(const std::exception &error)
{
    reachConsole();
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(g_programName.size()), g_programName.data(),
                 error.what());
    std::fflush(stderr);
    const std::wstring text
        = win32::widen(std::string(error.what()) + "\n\nThe program will now end.");
    const std::wstring title = win32::widen(g_programName);
    // Modal to the window, so nothing else reaches it; the loop ends once the user has read it.
    MessageBoxW(IsWindow(g_reportOwner) != FALSE ? g_reportOwner : nullptr, text.c_str(),
                title.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    PostQuitMessage(kUntrappedErrorExitCode);
}

int runEventLoop(Win32Form &form)
{
    g_reportOwner = form.window();
    MSG message {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return kStartFailureExitCode;
        }
        if (!form.translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int runProject(const ProjectDescription &project, int &argc, char **argv)
{
    g_programName = project.name;
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine commandLine = parseCommandLine(arguments, {});
    switch (commandLine.action) {
    case CommandAction::Run:
        break;
    case CommandAction::ShowHelp:
        reachConsole();
        printHelp(project);
        return 0;
    case CommandAction::ShowVersion:
        reachConsole();
        std::printf("%.*s %.*s\n", static_cast<int>(project.name.size()), project.name.data(),
                    static_cast<int>(project.version.size()), project.version.data());
        return 0;
    case CommandAction::Refuse:
        reachConsole();
        std::fprintf(stderr, "%.*s: %s (%.*s --help lists the options)\n",
                     static_cast<int>(project.name.size()), project.name.data(),
                     commandLine.refusal.c_str(), static_cast<int>(project.name.size()),
                     project.name.data());
        return kUsageExitCode;
    }

    Win32Form form(*project.startupForm);
    if (form.window() == nullptr) {
        reachConsole();
        std::fprintf(stderr, "%.*s: cannot open the window: Windows refused to create it\n",
                     static_cast<int>(project.name.size()), project.name.data());
        return kStartFailureExitCode;
    }
    if (project.connectEvents != nullptr) {
        project.connectEvents(form);
    }
    form.show();
    return runEventLoop(form);
}

} // namespace forms
