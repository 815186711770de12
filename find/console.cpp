// SPDX-License-Identifier: MIT
// icatlas-find's arguments and output as UTF-8 on the system it runs on (find/console.hpp).
#include "find/console.hpp"

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace icatlas::find {

#ifdef _WIN32

namespace {

std::string toUtf8(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
    converted.pop_back(); // the terminating zero
    return converted;
}

struct LocalFreeDeleter {
    void operator()(wchar_t **arguments) const { LocalFree(static_cast<HLOCAL>(arguments)); }
};

} // namespace

// The narrow argv is in the ANSI code page, which cannot hold every character a user types.
std::vector<std::string> utf8Arguments(int /*argc*/, char ** /*argv*/)
{
    int count = 0;
    const std::unique_ptr<wchar_t *, LocalFreeDeleter> wide(
        CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) {
        arguments.push_back(toUtf8(wide.get()[i]));
    }
    return arguments;
}

Utf8Output::Utf8Output()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Only a console has a code page; a pipe or a file takes the bytes as they are.
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0
        || GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0) {
        const UINT previous = GetConsoleOutputCP();
        if (previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8) != 0) {
            m_previousCodePage = previous;
        }
    }
}

Utf8Output::~Utf8Output()
{
    if (m_previousCodePage != 0) {
        SetConsoleOutputCP(m_previousCodePage);
    }
}

#else

std::vector<std::string> utf8Arguments(int argc, char **argv)
{
    return {argv + 1, argv + argc};
}

#endif

} // namespace icatlas::find
