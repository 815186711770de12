// SPDX-License-Identifier: MIT
// What icatlas-find needs from the system it runs on to read its arguments and write its output
// as UTF-8 bytes, the same on every system: on Linux nothing; on Windows the arguments come from
// the wide command line, and the standard streams write bytes untouched (no LF to CRLF, which
// would double the CSV's own CRLF) to a console set to UTF-8 while the program runs.
#pragma once

#include <string>
#include <vector>

namespace icatlas::find {

// The arguments after the program's name, as UTF-8.
[[nodiscard]] std::vector<std::string> utf8Arguments(int argc, char **argv);

// While it lives, the standard streams carry UTF-8 bytes as they are; the console's own setting is
// given back at the end.
class Utf8Output {
public:
#ifdef _WIN32
    Utf8Output();
    ~Utf8Output();
#else
    Utf8Output() = default;
    ~Utf8Output() = default;
#endif
    Utf8Output(const Utf8Output &) = delete;
    Utf8Output &operator=(const Utf8Output &) = delete;
    Utf8Output(Utf8Output &&) = delete;
    Utf8Output &operator=(Utf8Output &&) = delete;

#ifdef _WIN32
private:
    unsigned m_previousCodePage = 0; // 0: nothing to give back
#endif
};

} // namespace icatlas::find
