// SPDX-License-Identifier: MIT
// Text colours that stay readable on any background: the contrast arithmetic of WCAG 2 and the
// one rule the runtime applies to a control's fixed text colour. Pure, toolkit-free.
#pragma once

#include "forms/core/definition.hpp"

namespace forms {

// WCAG 2 contrast ratio, 1 to 21, the same whichever colour is given first.
[[nodiscard]] double contrastRatio(Rgb a, Rgb b);

// The contrast WCAG 2 asks of normal text.
inline constexpr double kReadableContrast = 4.5;

// A background is dark when white text on it contrasts more than black text does.
[[nodiscard]] bool isDark(Rgb background);

// What shows where `colour` is drawn at `alpha` (0 clear, 255 opaque) over `under`, as a painter
// blends them: a background short of opaque is read so before any contrast is worked out on it.
[[nodiscard]] Rgb seenThrough(Rgb colour, std::uint8_t alpha, Rgb under);

// A fixed text colour as it is drawn on `background`: itself where it reaches kReadableContrast
// against it; otherwise the nearest shade of the same hue that does, mixed with white or with
// black, whichever of the two readable shades is closer in lightness to the colour (on a dark
// background that is a lighter shade, on white a darker one, on a mid grey whichever reaches).
[[nodiscard]] Rgb readableOn(Rgb colour, Rgb background);

} // namespace forms
