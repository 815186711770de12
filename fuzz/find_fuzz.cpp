// SPDX-License-Identifier: MIT
// libFuzzer target for icatlas-find: the input, split at NUL bytes, is its argument list. Beyond
// the sanitizers' own findings it checks what a script and a terminal rely on: a known exit
// status, a usage error that is one line on standard error and nothing on the output, no raw
// control character anywhere but the line ends, and matching that ignores case and blanks.
#include "find/cli.hpp"
#include "find/lookup.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "find_fuzz: %s\n", what);
        std::abort();
    }
}

// Whether `text` holds a control character other than the line end (and, in CSV, the CR of its
// CRLF line ends).
bool hasRawControl(std::string_view text, bool crlf)
{
    return std::ranges::any_of(text, [crlf](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 || byte == 0x7F) && c != '\n' && !(crlf && c == '\r');
    });
}

std::string lowered(std::string_view text)
{
    std::string lower(text);
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

void checkMatching(std::string_view part)
{
    using icatlas::find::PartKey;
    const auto key = PartKey::from(part);
    // Case, and blanks around the part (a CRLF line end among them), change nothing.
    const auto lowerKey = PartKey::from(lowered(part));
    const auto paddedKey = PartKey::from(" \t" + std::string(part) + "\r\n");
    check(key.has_value() == lowerKey.has_value(), "case changes whether a part is one");
    check(key.has_value() == paddedKey.has_value(), "blanks change whether a part is one");
    if (key) {
        check(key->text() == lowerKey->text(), "case changes the key");
        check(key->text() == paddedKey->text(), "blanks change the key");
        // The part's own key is found in the part.
        check(key->foundIn(part), "a part is not found in itself");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    std::vector<std::string_view> args;
    std::size_t begin = 0;
    while (begin <= input.size() && args.size() < 16) {
        const std::size_t end = std::min(input.find('\0', begin), input.size());
        args.emplace_back(input.data() + begin, end - begin);
        begin = end + 1;
    }

    std::ostringstream out;
    std::ostringstream err;
    const int status = icatlas::find::run(args, out, err);
    const std::string written = out.str();
    const std::string said = err.str();

    check(status == icatlas::find::kExitFound || status == icatlas::find::kExitNothingFound
              || status == icatlas::find::kExitUsageError,
          "unknown exit status");
    if (status == icatlas::find::kExitUsageError) {
        check(written.empty(), "output written with a usage error");
        check(said.rfind("icatlas-find: ", 0) == 0, "usage error not named");
        check(said.find('\n') == said.size() - 1, "usage error not one line");
    } else {
        check(said.empty(), "standard error written without a usage error");
    }
    check(!hasRawControl(said, false), "raw control character in a message");
    const bool csv = !args.empty() && args.front() == "--csv";
    check(!hasRawControl(written, csv), "raw control character in the output");

    for (const std::string_view arg : args) {
        checkMatching(arg);
    }
    return 0;
}
