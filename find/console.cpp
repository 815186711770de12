// SPDX-License-Identifier: MIT
// icatlas-find's arguments and output as UTF-8 on the system it runs on (find/console.hpp).
#include "find/console.hpp"

#include "text/unicode.hpp"

#include <iostream>

#ifdef _WIN32
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <optional>
#include <streambuf>
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
        if ((byte & 0xC0U) == 0x80U) {
            continue; // a continuation byte: its lead is further back
        }
        return text::sequenceLength(byte) > back ? end - back : end;
    }
    return end;
}

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

std::wstring toWide(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, converted.data(), size);
    return converted;
}

struct LocalFreeDeleter {
    void operator()(wchar_t **arguments) const { LocalFree(static_cast<HLOCAL>(arguments)); }
};

// A console's side of a standard stream: the UTF-8 bytes written so far are shown, as UTF-16, at
// each flush, but for a sequence still unfinished, which waits for its last bytes.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console)
        : m_console(console)
    {
    }
    ~ConsoleBuffer() override { write(m_pending.size()); }
    ConsoleBuffer(const ConsoleBuffer &) = delete;
    ConsoleBuffer &operator=(const ConsoleBuffer &) = delete;
    ConsoleBuffer(ConsoleBuffer &&) = delete;
    ConsoleBuffer &operator=(ConsoleBuffer &&) = delete;

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            m_pending.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char *text, std::streamsize count) override
    {
        m_pending.append(text, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override { return write(completeUtf8Length(m_pending)) ? 0 : -1; }

private:
    bool write(std::size_t length)
    {
        const std::wstring wide = toWide(std::string_view(m_pending).substr(0, length));
        m_pending.erase(0, length);
        // In pieces a console takes at once, never parting a surrogate pair.
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
    std::string m_pending;
};

// The console behind a standard handle, or nothing for a pipe, a file or no handle.
std::optional<HANDLE> consoleOf(DWORD standardHandle)
{
    HANDLE handle = GetStdHandle(standardHandle);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || GetConsoleMode(handle, &mode) == 0) {
        return std::nullopt;
    }
    return handle;
}

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

// Each stream over its console, or over the C++ library's own stream in binary mode.
class Utf8Output::ConsoleStreams {
public:
    ConsoleStreams()
        : out(std::cout.rdbuf())
        , err(std::cerr.rdbuf())
    {
        if (const std::optional<HANDLE> console = consoleOf(STD_OUTPUT_HANDLE)) {
            out.rdbuf(&outBuffer.emplace(*console));
        }
        if (const std::optional<HANDLE> console = consoleOf(STD_ERROR_HANDLE)) {
            err.rdbuf(&errBuffer.emplace(*console));
        }
        // As std::cerr: each message at once, after what the output holds so far.
        err.setf(std::ios::unitbuf);
        err.tie(&out);
    }

    std::optional<ConsoleBuffer> outBuffer;
    std::optional<ConsoleBuffer> errBuffer;
    std::ostream out;
    std::ostream err;
};

Utf8Output::Utf8Output()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    m_console = std::make_unique<ConsoleStreams>();
    m_out = &m_console->out;
    m_err = &m_console->err;
}

Utf8Output::~Utf8Output()
{
    m_out->flush();
}

#else

std::vector<std::string> utf8Arguments(int argc, char **argv)
{
    return {argv + 1, argv + argc};
}

class Utf8Output::ConsoleStreams { };

Utf8Output::Utf8Output()
    : m_out(&std::cout)
    , m_err(&std::cerr)
{
}

Utf8Output::~Utf8Output() = default;

#endif

} // namespace icatlas::find
