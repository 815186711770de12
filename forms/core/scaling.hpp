// SPDX-License-Identifier: MIT
// From a definition's twips to a screen's pixels, and the one factor by which a window scales what
// it holds when it is not at its designed size. Toolkit-free: every realisation lays out with it.
#pragma once

#include "forms/core/definition.hpp"

namespace forms {

// Twips to pixels at a DPI: 15 twips per pixel at 96 DPI, times the factor by which the window
// scales what it holds. Fonts are sized in points against the same DPI and factor, so layout and
// text scale together.
[[nodiscard]] int twipsToPixels(Twips twips, double dpi, double scale = 1.0);

// The least factor a window shrinks to: the 8.25 point texts are then about 6.2 points, the
// smallest size at which bold text on screen still reads letter by letter.
inline constexpr double kSmallestScale = 0.75;

// The factor for a client area of `width` x `height` pixels whose designed size is
// `designedWidth` x `designedHeight`: one factor for both directions keeps the designed
// proportions (the other direction's spare room is shared equally on both sides), never below
// kSmallestScale.
[[nodiscard]] double scaleForClientArea(int width, int height, int designedWidth,
                                        int designedHeight);

// The factor at which a window opens: 1 where its designed size fits the room the screen offers
// (`roomWidth` x `roomHeight` pixels for the client area), else scaled down in proportion to fit,
// never below kSmallestScale.
[[nodiscard]] double openingScale(int designedWidth, int designedHeight, int roomWidth,
                                  int roomHeight);

} // namespace forms
