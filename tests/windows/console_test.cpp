// SPDX-License-Identifier: MIT
// icatlas-find in a console of its own, read back from the console's screen: non-ASCII text shows
// as the user typed it, not as one box per byte; and UTF-8 output cut into whole sequences.
#include "find/console.hpp"

#include "process.hpp"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {

using icatlas::find::completeUtf8Length;

TEST(ConsoleOutput, WaitsOnlyForAnUnfinishedSequence)
{
    struct Case {
        std::string_view bytes;
        std::size_t ready;
    };
    // "Н" is D0 9D, "–" E2 80 93, "😀" F0 9F 98 80.
    const std::array cases {
        Case {"", 0},
        Case {"abc", 3},
        Case {"a\xD0", 1},
        Case {"a\xD0\x9D", 3},
        Case {"a\xE2\x80", 1},
        Case {"\xE2\x80\x93", 3},
        Case {"\xF0\x9F\x98", 0},
        Case {"\xF0\x9F\x98\x80", 4},
        Case {"a\x80", 2}, // a stray continuation byte is not held back
        Case {"a\xFF", 2}, // nor a byte that starts nothing
        Case {"\x80\x80\x80", 3}, // nor continuations with no lead in reach
    };
    for (const Case &each : cases) {
        EXPECT_EQ(completeUtf8Length(each.bytes), each.ready)
            << "for " << testing::PrintToString(std::string(each.bytes));
    }
}

using testing_support::Handle;

// A console of this process's own for the test's length, in place of whatever it had (a pipe
// under ctest); the C run-time's streams, and so the test's report, stay where they were.
bool ownConsole()
{
    FreeConsole();
    return AllocConsole() != 0;
}

using OwnConsole = testing_support::Scope<ownConsole, FreeConsole>;

// One of the console's own handles, inheritable; null when it cannot be opened.
Handle openConsole(const wchar_t *name)
{
    SECURITY_ATTRIBUTES inherited {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE opened
        = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      &inherited, OPEN_EXISTING, 0, nullptr);
    return Handle(opened != INVALID_HANDLE_VALUE ? opened : nullptr);
}

// Runs icatlas-find with the console as its standard streams and gives back the screen's lines,
// trailing blanks cut.
std::vector<std::wstring> runInConsole(const std::wstring &arguments)
{
    const OwnConsole console;
    if (!console.ok()) {
        ADD_FAILURE() << "no console could be made: error " << GetLastError();
        return {};
    }
    const Handle input = openConsole(L"CONIN$");
    const Handle output = openConsole(L"CONOUT$");
    if (!input || !output) {
        ADD_FAILURE() << "the console's handles could not be opened";
        return {};
    }
    STARTUPINFOW startup {};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    const Handle find
        = testing_support::startProgram(ICATLAS_FIND_PROGRAM, arguments, nullptr, true, startup);
    if (!find) {
        ADD_FAILURE() << "icatlas-find did not start: error " << GetLastError();
        return {};
    }
    if (!testing_support::endsWithin(find.get(), 30000, 3)) {
        ADD_FAILURE() << "icatlas-find did not end within 30 s";
        return {};
    }
    CONSOLE_SCREEN_BUFFER_INFO screen {};
    if (GetConsoleScreenBufferInfo(output.get(), &screen) == 0) {
        ADD_FAILURE() << "the console's screen could not be read";
        return {};
    }
    std::vector<std::wstring> lines;
    const SHORT width = screen.dwSize.X;
    for (SHORT row = 0; row <= screen.dwCursorPosition.Y; ++row) {
        std::wstring line(static_cast<std::size_t>(width), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(output.get(), line.data(), static_cast<DWORD>(width),
                                    COORD {0, row}, &read);
        line.resize(read);
        line.erase(line.find_last_not_of(L' ') + 1);
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

TEST(ConsoleOutput, ShowsWhatTheUserTypedAsTyped)
{
    // What the user typed comes back on the standard error (Cyrillic, Latin-1, a dash).
    const std::vector<std::wstring> shown
        = runInConsole(L"\"\u041d\u043e\u043a\u0438\u0430 \u00c4 \u2013\"");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), L"\u041d\u043e\u043a\u0438\u0430 \u00c4 \u2013: no match");
}

TEST(ConsoleOutput, GivesEachLineOfARecordItsOwnRow)
{
    const std::vector<std::wstring> shown = runInConsole(L"--model 6310I");
    ASSERT_GE(shown.size(), 3U);
    EXPECT_EQ(shown[0], L"Phone Model       6310I");
    EXPECT_EQ(shown[1], L"PA IC 1           PF08125B");
    EXPECT_EQ(shown[2], L"PA IC 2           (blank)");
}

} // namespace
