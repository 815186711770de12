// SPDX-License-Identifier: MIT
// WCAG 2's contrast ratio, written from its definitions of relative luminance and contrast ratio,
// so what the runtime draws or works out is measured apart from the runtime's own arithmetic.
#pragma once

#include <algorithm>
#include <cmath>

namespace testing_support {

// Relative luminance of an sRGB colour whose channels run 0 to 255: 0 for black, 1 for white.
inline double luminance(int red, int green, int blue)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue);
}

// The contrast ratio of two relative luminances, 1 to 21, whichever is given first.
inline double contrastRatio(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The ratio WCAG 2 asks of normal text.
inline constexpr double kReadable = 4.5;

} // namespace testing_support
