// SPDX-License-Identifier: MIT
// WCAG 2 contrast and the lightening of fixed text colours on dark backgrounds.
#include "forms/core/contrast.hpp"

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

double linear(std::uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The colour moved `amount` (0 to 1) of the way to white, which keeps its hue.
Rgb towardsWhite(Rgb colour, double amount)
{
    const auto mix = [amount](std::uint8_t c) {
        return static_cast<std::uint8_t>(std::lround(c + (255 - c) * amount));
    };
    return {mix(colour.red), mix(colour.green), mix(colour.blue)};
}

} // namespace

double relativeLuminance(Rgb colour)
{
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green)
        + 0.0722 * linear(colour.blue);
}

double contrastRatio(Rgb a, Rgb b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(Rgb background)
{
    return contrastRatio(background, {255, 255, 255}) > contrastRatio(background, {0, 0, 0});
}

Rgb readableOn(Rgb colour, Rgb background)
{
    if (!isDark(background) || contrastRatio(colour, background) >= kReadableContrast) {
        return colour;
    }
    // Contrast grows steadily on the way to white, and white itself reaches the target on any
    // dark background (at least 4.58:1), so halving the interval finds the least step.
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 20; ++step) {
        const double middle = (low + high) / 2;
        (contrastRatio(towardsWhite(colour, middle), background) >= kReadableContrast ? high : low)
            = middle;
    }
    // Rounding to whole channel values may land a hair short: step on until it does not.
    Rgb shade = towardsWhite(colour, high);
    while (contrastRatio(shade, background) < kReadableContrast && high < 1.0) {
        high = std::min(1.0, high + 1.0 / 255);
        shade = towardsWhite(colour, high);
    }
    return shade;
}

} // namespace forms
