// SPDX-License-Identifier: MIT
// Text colours that stay readable on a dark background: the contrast arithmetic of WCAG 2 and
// the one rule the runtime applies to a control's fixed text colour. Pure, toolkit-free.
#pragma once

#include <cstdint>

namespace forms {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Rgb &, const Rgb &) = default;
};

// WCAG 2 relative luminance, 0 (black) to 1 (white).
[[nodiscard]] double relativeLuminance(Rgb colour);

// WCAG 2 contrast ratio, 1 to 21, the same whichever colour is given first.
[[nodiscard]] double contrastRatio(Rgb a, Rgb b);

// The contrast WCAG 2 asks of normal text.
inline constexpr double kReadableContrast = 4.5;

// A background is dark when white text on it contrasts more than black text does.
[[nodiscard]] bool isDark(Rgb background);

// A fixed text colour as it is drawn on `background`: on a light background exactly itself; on a
// dark one, the least lightened shade of the same hue (mixed with white) that reaches
// kReadableContrast against it, or itself if it already does.
[[nodiscard]] Rgb readableOn(Rgb colour, Rgb background);

} // namespace forms
