// SPDX-License-Identifier: MIT
// libFuzzer target for icatlas-find: the input, split at NUL bytes, is its argument list. Beyond
// the sanitizers' own findings it checks what a script and a terminal rely on: a known exit
// status, a usage error that is one line on standard error and nothing on the output, at most one
// hint per part otherwise, no raw control or invisible character anywhere but the line ends, and
// matching that ignores case, blanks (Unicode ones too) and characters that take no room.
#include "find/cli.hpp"
#include "matching/matching.hpp"
#include "text/unicode.hpp"

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

// Whether `text` holds a byte that is not UTF-8, or a control or other character a terminal would
// not show as itself (a no-break space, a byte-order mark, a direction override) other than the
// line end and the `allowed` ones (CSV's CR, the tab-separated export's tab).
bool hasRawControl(std::string_view text, std::string_view allowed)
{
    while (!text.empty()) {
        const icatlas::text::Utf8Char c = icatlas::text::firstChar(text);
        if (c.length == 0) {
            return true;
        }
        const bool permitted = c.codePoint == '\n'
            || (c.codePoint < 0x80
                && allowed.find(static_cast<char>(c.codePoint)) != std::string_view::npos);
        if (!permitted && icatlas::text::isInvisible(c.codePoint)) {
            return true;
        }
        text.remove_prefix(c.length);
    }
    return false;
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
    using icatlas::matching::PartKey;
    const auto key = PartKey::from(part);
    // Case, and blanks around the part (a CRLF line end among them), change nothing.
    const auto lowerKey = PartKey::from(lowered(part));
    const auto paddedKey = PartKey::from(" \t" + std::string(part) + "\r\n");
    // What a Windows editor or a web page adds unseen: a byte-order mark, a no-break space, a
    // soft hyphen, a zero-width space.
    const auto pastedKey
        = PartKey::from("\xef\xbb\xbf\xc2\xad" + std::string(part) + "\xc2\xa0\xe2\x80\x8b");
    check(key.has_value() == lowerKey.has_value(), "case changes whether a part is one");
    check(key.has_value() == paddedKey.has_value(), "blanks change whether a part is one");
    check(key.has_value() == pastedKey.has_value(),
          "unseen characters change whether a part is one");
    if (key) {
        check(key->text() == lowerKey->text(), "case changes the key");
        check(key->text() == paddedKey->text(), "blanks change the key");
        check(key->text() == pastedKey->text(), "unseen characters change the key");
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
        // Hints only: one line at most for each part that found nothing.
        check(said.empty() || said.back() == '\n', "hint not ended by a line end");
        check(static_cast<std::size_t>(std::ranges::count(said, '\n')) <= args.size(),
              "more hints than parts");
    }
    check(!hasRawControl(said, {}), "raw control character in a message");
    const auto given = [&args](std::string_view option) {
        return std::ranges::find(args, option) != args.end();
    };
    const std::string_view allowed = given("--csv") ? "\r" : given("--tsv") ? "\t" : "";
    check(!hasRawControl(written, allowed), "raw control character in the output");

    for (const std::string_view arg : args) {
        checkMatching(arg);
    }
    return 0;
}
