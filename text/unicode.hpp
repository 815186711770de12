// SPDX-License-Identifier: MIT
// What matching and echoing need to know of pasted characters: UTF-8, blanks, what takes no room
// and what a terminal cannot be trusted to show. Files saved by any editor bring a byte-order
// mark, a no-break space or a soft hyphen that nobody sees.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace icatlas::text {

// The well-formed UTF-8 character at the start of `text`: its code point and length in bytes.
// A length of 0 means the first byte starts none (a stray continuation byte, a cut-off sequence,
// an overlong form or a surrogate).
struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;
};
[[nodiscard]] Utf8Char firstChar(std::string_view text);

// The length in bytes of the UTF-8 sequence that `lead` starts, or 0 where it starts none (a
// continuation byte, or one no sequence begins with).
[[nodiscard]] constexpr std::size_t sequenceLength(unsigned char lead)
{
    const int ones = std::countl_one(lead);
    return ones == 0 ? 1 : ones >= 2 && ones <= 4 ? static_cast<std::size_t>(ones) : 0;
}

// The release of the Unicode character database whose White_Space and
// Default_Ignorable_Code_Point properties isBlank() and isIgnorable() follow.
inline constexpr std::string_view kUnicodeVersion = "15.0.0";

// ASCII white space and the Unicode spaces (no-break space, the typographic spaces, the line
// and paragraph separators, the ideographic space).
[[nodiscard]] bool isBlank(char32_t c);

// Characters that take no room where they stand: the soft hyphen, the zero-width spaces and
// joiners, the byte-order mark, the direction marks and overrides, variation selectors and tags.
// Matching leaves them out.
[[nodiscard]] bool isIgnorable(char32_t c);

// Characters a terminal does not show as themselves: controls, blanks other than the space, and
// the ignorable ones above (a direction override would even turn the rest of the line round).
// Every value icatlas-find or the window's start echoes shows them as escapes.
[[nodiscard]] bool isInvisible(char32_t c);

// `value` as `digits` lower-case hexadecimal digits, appended to `to`.
void appendHex(std::string &to, std::uint32_t value, int digits);

// `text` as one line a terminal shows as it is: controls as "\n", "\t", "\x1b", invisible
// characters as "\u00a0", "\u202e", bytes that are not UTF-8 as "\xff", and the backslash
// doubled so that no escape can be faked.
[[nodiscard]] std::string printable(std::string_view text);

} // namespace icatlas::text
