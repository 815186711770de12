// SPDX-License-Identifier: MIT
// WCAG 2 contrast and the nearest readable shade of a fixed text colour.
#include "forms/core/contrast.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>

namespace forms {

namespace {

double linear(std::uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// WCAG 2 relative luminance, 0 (black) to 1 (white).
double relativeLuminance(Rgb colour)
{
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green)
        + 0.0722 * linear(colour.blue);
}

double ratioOfLuminances(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The colour `start` moved `steps` 255ths of the way to `end`; mixing with white or black keeps
// the hue.
Rgb mixed(Rgb start, Rgb end, int steps)
{
    const auto mix = [steps](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(std::lround(from + (to - from) * (steps / 255.0)));
    };
    return {mix(start.red, end.red), mix(start.green, end.green), mix(start.blue, end.blue)};
}

// The least mix of `colour` with `target` readable on a background of luminance `behind`, or
// none if not even the target is. The colour itself is not readable, so along the way its
// luminance passes the background's (if it must) and then only moves away from it: readable
// once, readable from there on, so the first readable step is the steps' partition point.
std::optional<Rgb> leastReadableMix(Rgb colour, Rgb target, double behind)
{
    const auto readable = [behind](Rgb shade) {
        return ratioOfLuminances(relativeLuminance(shade), behind) >= kReadableContrast;
    };
    if (!readable(target)) {
        return std::nullopt;
    }
    std::array<int, 256> steps {};
    std::iota(steps.begin(), steps.end(), 0);
    const auto *first = std::partition_point(steps.begin(), steps.end(), [&](int step) {
        return !readable(mixed(colour, target, step));
    });
    return mixed(colour, target, *first);
}

} // namespace

double contrastRatio(Rgb a, Rgb b)
{
    return ratioOfLuminances(relativeLuminance(a), relativeLuminance(b));
}

Rgb seenThrough(Rgb colour, std::uint8_t alpha, Rgb under)
{
    return mixed(under, colour, alpha);
}

bool isDark(Rgb background)
{
    return contrastRatio(background, {255, 255, 255}) > contrastRatio(background, {0, 0, 0});
}

Rgb readableOn(Rgb colour, Rgb background)
{
    const double behind = relativeLuminance(background);
    const double own = relativeLuminance(colour);
    if (ratioOfLuminances(own, behind) >= kReadableContrast) {
        return colour;
    }
    // White reaches 4.5:1 on any background black does not (and black on any white does not),
    // so at least one of the two is there.
    const std::optional<Rgb> lighter = leastReadableMix(colour, {255, 255, 255}, behind);
    const std::optional<Rgb> darker = leastReadableMix(colour, {0, 0, 0}, behind);
    if (!lighter || !darker) {
        return lighter ? *lighter : *darker;
    }
    const auto distance
        = [own](Rgb shade) { return ratioOfLuminances(relativeLuminance(shade), own); };
    return distance(*lighter) <= distance(*darker) ? *lighter : *darker;
}

} // namespace forms
