// SPDX-License-Identifier: MIT
// icatlas-find's arguments and output as UTF-8 on every system. On Windows the arguments come from
// the wide command line, a console is written in UTF-16 (it shows UTF-8 written piecemeal as one
// box per byte), and a pipe or file takes the bytes untouched (LF to CRLF would double the CSV's).
#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace icatlas::find {

// The arguments after the program's name, as UTF-8.
[[nodiscard]] std::vector<std::string> utf8Arguments(int argc, char **argv);

// How much of `bytes` can be converted now: all of it but an unfinished sequence at its end,
// which waits for the bytes that complete it. Bytes that are not UTF-8 are not held back.
[[nodiscard]] std::size_t completeUtf8Length(std::string_view bytes);

// The program's standard output and error as UTF-8 streams, for as long as it lives; what is
// still buffered is written when it ends (by the console's buffer, or the C++ library's at exit).
// Neither copied nor moved, as its streams are not.
class Utf8Output {
public:
    Utf8Output();

    [[nodiscard]] std::ostream &out() { return m_out; }
    [[nodiscard]] std::ostream &err() { return m_err; }

private:
    // Windows' console behind each stream, where one is attached; else the C++ library's stream.
    std::unique_ptr<std::streambuf> m_outConsole;
    std::unique_ptr<std::streambuf> m_errConsole;
    std::ostream m_out;
    std::ostream m_err;
};

} // namespace icatlas::find
