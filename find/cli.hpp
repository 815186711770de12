// SPDX-License-Identifier: MIT
// icatlas-find's arguments: which look-up or export they ask for, and the exit status a script
// sees; and how the exports quote a text. Output goes to the given streams so that tests can run
// the program without a process.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace icatlas::find {

// What the exit status tells a script, in the manner of grep.
inline constexpr int kExitFound = 0;
inline constexpr int kExitNothingFound = 1;
inline constexpr int kExitUsageError = 2;

// Runs icatlas-find on `args` (the program name left out). Results go to `out`; a usage error
// writes one line to `err` and nothing to `out`.
[[nodiscard]] int run(std::span<const std::string_view> args, std::ostream &out, std::ostream &err);

// A JSON string literal holding exactly `text`.
[[nodiscard]] std::string jsonString(std::string_view text);

// An RFC 4180 field holding exactly `text`, quoted only where a reader could misread it.
[[nodiscard]] std::string csvField(std::string_view text);

} // namespace icatlas::find
