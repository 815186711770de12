// SPDX-License-Identifier: MIT
// icatlas-find's arguments and output as UTF-8 on the system it runs on (find/console.hpp).
#include "find/console.hpp"

#include "text/unicode.hpp"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <sstream>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace icatlas::find {

std::size_t completeUtf8Length(std::string_view bytes)
{
    // Only the last three bytes can belong to an unfinished sequence: look back for its lead.
    const std::size_t end = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= end; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[end - back]);
        if ((byte & 0xC0U) != 0x80U) { // a continuation byte's lead is further back
            return text::sequenceLength(byte) > back ? end - back : end;
        }
    }
    return end;
}

namespace {

#ifdef _WIN32

// Each text converted as the system converts it: its size, then itself; an empty text makes both
// calls fail, which leaves the result empty.
std::string toUtf8(std::wstring_view text)
{
    const int length = static_cast<int>(text.size());
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, converted.data(), size, nullptr, nullptr);
    return converted;
}

std::wstring toWide(std::string_view text)
{
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, converted.data(), size);
    return converted;
}

// A console's side of a standard stream: the UTF-8 bytes written so far are shown, as UTF-16, at
// each flush, but for a sequence still unfinished, which waits for its last bytes.
class ConsoleBuffer final : public std::stringbuf {
public:
    explicit ConsoleBuffer(HANDLE console)
        : std::stringbuf(std::ios::out | std::ios::ate) // what is kept back is written after
        , m_console(console)
    {
    }
    ~ConsoleBuffer() override { write(view().size()); }

protected:
    int sync() override { return write(completeUtf8Length(view())) ? 0 : -1; }

private:
    bool write(std::size_t length)
    {
        const std::wstring wide = toWide(view().substr(0, length));
        str(std::string(view().substr(length)));
        // In pieces a console takes at once (before Windows 8 one call's text had to fit the
        // console's 64 KB heap), never parting a surrogate pair, until every piece is written.
        constexpr std::size_t kPiece = 8192;
        for (std::size_t start = 0; start < wide.size();) {
            std::size_t count = std::min(kPiece, wide.size() - start);
            if (start + count < wide.size() && IS_HIGH_SURROGATE(wide[start + count - 1])) {
                --count;
            }
            DWORD written = 0;
            if (WriteConsoleW(m_console, wide.data() + start, static_cast<DWORD>(count), &written,
                              nullptr)
                    == 0
                || written == 0) {
                return false;
            }
            start += written;
        }
        return true;
    }

    HANDLE m_console;
};

#endif

// The console behind a standard stream, or nothing for a pipe, a file or no handle, where the C++
// library's own stream writes the bytes in binary mode.
std::unique_ptr<std::streambuf> consoleOf([[maybe_unused]] std::FILE *stream)
{
#ifdef _WIN32
    _setmode(_fileno(stream), _O_BINARY);
    HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode) != 0) { // it fails on anything else, no handle included
        return std::make_unique<ConsoleBuffer>(handle);
    }
#endif
    return nullptr;
}

} // namespace

std::vector<std::string> utf8Arguments([[maybe_unused]] int argc, [[maybe_unused]] char **argv)
{
#ifdef _WIN32
    // The narrow argv is in the ANSI code page, which cannot hold every character a user types.
    int count = 0;
    const std::unique_ptr<wchar_t *, decltype([](wchar_t **wide) { LocalFree(wide); })> wide(
        CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) {
        arguments.push_back(toUtf8(wide.get()[i]));
    }
    return arguments;
#else
    return {argv + 1, argv + argc};
#endif
}

Utf8Output::Utf8Output()
    : m_outConsole(consoleOf(stdout))
    , m_errConsole(consoleOf(stderr))
    , m_out(m_outConsole ? m_outConsole.get() : std::cout.rdbuf())
    , m_err(m_errConsole ? m_errConsole.get() : std::cerr.rdbuf())
{
    // As std::cerr: each message at once, after what the output holds so far.
    m_err.setf(std::ios::unitbuf);
    m_err.tie(&m_out);
}

} // namespace icatlas::find
