// SPDX-License-Identifier: MIT
// The runtime's entry on Windows and its untrapped-error path: the command line answered in the
// console it was typed in, the start-up form made and shown, the message loop run.
#include "forms/start/runtime.hpp"

#include "forms/core/command_line.hpp"
#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace forms {

namespace {

HWND g_reportOwner = nullptr; // the form's window, which the error report is modal to

// A desktop program has no console; started from one, it writes there as a console program
// would. Streams handed to it (redirected, or under a test) are used as they are.
void reachConsole()
{
    static bool tried = false;
    if (!std::exchange(tried, true) && GetStdHandle(STD_ERROR_HANDLE) == nullptr
        && AttachConsole(ATTACH_PARENT_PROCESS) != FALSE) {
        FILE *stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
    }
}

} // namespace

void reportUntrappedError(const std::exception &error)
{
    reachConsole();
    printLine(error.what());
    // Modal to the window, so nothing else reaches it; the loop ends once the user has read it.
    MessageBoxW(IsWindow(g_reportOwner) != FALSE ? g_reportOwner : nullptr,
                win32::widen(std::string(error.what()) + "\n\nThe program will now end.").c_str(),
                win32::widen(programName()).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    PostQuitMessage(kUntrappedErrorExitCode);
}

void win32::runHandler(const std::function<void()> &handler)
{
    forms::runHandler(handler, reportUntrappedError);
}

int runEventLoop(Win32Form &form)
{
    g_reportOwner = form.window();
    MSG message {};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (!form.translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return got == 0 ? static_cast<int>(message.wParam) : kStartFailureExitCode;
}

int runProject(const ProjectDescription &project, int &argc, char **argv)
{
    setProgramName(project.name);
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine commandLine = parseCommandLine(arguments, {});
    if (commandLine.action != CommandAction::Run) { // answered in the console it was typed in
        reachConsole();
        return answerCommandLine(project, commandLine, {}).value_or(kUsageExitCode);
    }

    Win32Form form(*project.startupForm);
    if (form.window() == nullptr) {
        reachConsole();
        refuseStart("Windows refused to create it");
    }
    if (project.connectEvents != nullptr) {
        project.connectEvents(form);
    }
    form.show();
    return runEventLoop(form);
}

} // namespace forms
