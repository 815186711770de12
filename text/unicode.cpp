// SPDX-License-Identifier: MIT
// UTF-8 decoding and the character classes of unicode.hpp, each from the Unicode character
// database's file named at its table.
#include "text/unicode.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace icatlas::text {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

constexpr bool inRanges(std::span<const Range> ranges, char32_t c)
{
    return std::any_of(ranges.begin(), ranges.end(),
                       [c](const Range &r) { return c >= r.first && c <= r.last; });
}

// White_Space (PropList.txt, 15.0.0).
constexpr std::array kBlanks = std::to_array<Range>({
    {0x09, 0x0D},
    {0x20, 0x20},
    {0x85, 0x85},
    {0xA0, 0xA0},
    {0x1680, 0x1680},
    {0x2000, 0x200A},
    {0x2028, 0x2029},
    {0x202F, 0x202F},
    {0x205F, 0x205F},
    {0x3000, 0x3000},
});

// Default_Ignorable_Code_Point (DerivedCoreProperties.txt, 15.0.0).
constexpr std::array kIgnorable = std::to_array<Range>({
    {0xAD, 0xAD},
    {0x34F, 0x34F},
    {0x61C, 0x61C},
    {0x115F, 0x1160},
    {0x17B4, 0x17B5},
    {0x180B, 0x180F},
    {0x200B, 0x200F},
    {0x202A, 0x202E},
    {0x2060, 0x206F},
    {0x3164, 0x3164},
    {0xFE00, 0xFE0F},
    {0xFEFF, 0xFEFF},
    {0xFFA0, 0xFFA0},
    {0xFFF0, 0xFFF8},
    {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A},
    {0xE0000, 0xE0FFF},
});

// Shown by no terminal as what they are, though neither blank nor ignorable: the C0 and C1
// controls, the interlinear annotation marks and the two noncharacters ending the first plane.
constexpr std::array kOtherInvisible = std::to_array<Range>({
    {0x00, 0x1F},
    {0x7F, 0x9F},
    {0xFFF9, 0xFFFB},
    {0xFFFE, 0xFFFF},
});

} // namespace

Utf8Char firstChar(std::string_view text)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const std::size_t length = text.empty() ? 0 : sequenceLength(byte(0));
    if (length == 0 || text.size() < length) {
        return {};
    }
    // The lead's own bits (all seven of an ASCII byte), and the least code point a sequence of
    // this length may encode (any less is an overlong form).
    char32_t value = byte(0) & (0x7FU >> (length == 1 ? 0 : length));
    constexpr std::array<char32_t, 5> kLeast {0, 0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0U) != 0x80U) {
            return {};
        }
        value = (value << 6U) | (byte(i) & 0x3FU);
    }
    const bool wellFormed
        = value >= kLeast.at(length) && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    return wellFormed ? Utf8Char {value, length} : Utf8Char {};
}

bool isBlank(char32_t c)
{
    return inRanges(kBlanks, c);
}

bool isIgnorable(char32_t c)
{
    return inRanges(kIgnorable, c);
}

bool isInvisible(char32_t c)
{
    return (c != ' ' && isBlank(c)) || isIgnorable(c) || inRanges(kOtherInvisible, c);
}

void appendHex(std::string &to, std::uint32_t value, int digits)
{
    constexpr std::string_view kHexDigits = "0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        to += kHexDigits[(value >> static_cast<unsigned>(shift)) & 0xFU];
    }
}

std::string printable(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        // A byte that starts no character is taken alone as code point 0, which shows as its byte.
        const auto [code, size] = firstChar(text);
        const std::size_t length = std::max<std::size_t>(size, 1);
        constexpr std::u32string_view kLettered = U"\\\n\r\t";
        constexpr std::string_view kLetters = "\\nrt";
        if (const std::size_t at = kLettered.find(code); at != std::u32string_view::npos) {
            shown.append(1, '\\').append(1, kLetters[at]);
        } else if (code < 0x80 && isInvisible(code)) {
            shown += "\\x";
            appendHex(shown, static_cast<unsigned char>(text.front()), 2);
        } else if (isInvisible(code)) {
            shown += code > 0xFFFF ? "\\U" : "\\u";
            appendHex(shown, code, code > 0xFFFF ? 8 : 4);
        } else {
            shown.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return shown;
}

} // namespace icatlas::text
