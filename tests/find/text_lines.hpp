// SPDX-License-Identifier: MIT
// Splits what icatlas-find printed into its lines, so tests compare output line by line.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace find_testing {

inline std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

} // namespace find_testing
