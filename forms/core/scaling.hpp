// SPDX-License-Identifier: MIT
// From a definition's twips to a screen's pixels, and the one factor by which a window scales what
// it holds when it is not at its designed size. Toolkit-free: every realisation lays out with it.
#pragma once

#include "forms/core/definition.hpp"

#include <algorithm>
#include <cmath>

namespace forms {

// Twips to pixels at a DPI: 15 twips per pixel at 96 DPI, times the factor by which the window
// scales what it holds. Fonts are sized in points against the same DPI and factor, so layout and
// text scale together.
[[nodiscard]] inline int twipsToPixels(Twips twips, double dpi, double scale = 1.0)
{
    return static_cast<int>(std::lround(twips * dpi * scale / 1440.0));
}

// The least factor a window is laid out at, against its designed size at the screen's scale. The
// smallest texts are 8.25 pt, 11 pixels at 96 DPI; at 0.82 they are 9 pixels, the least at which
// the bold face's digits and capitals (8 and B, 0 and O in a part number) still read apart.
inline constexpr double kSmallestScale = 0.82;

// The factor for a client area of `width` x `height` pixels designed at `designedWidth` x
// `designedHeight`: one factor keeps the proportions (the other direction's spare room is shared
// equally on both sides), never below kSmallestScale.
[[nodiscard]] inline double scaleForClientArea(int width, int height, int designedWidth,
                                               int designedHeight)
{
    return designedWidth <= 0 || designedHeight <= 0
        ? 1.0
        : std::max(kSmallestScale,
                   std::min(width / static_cast<double>(designedWidth),
                            height / static_cast<double>(designedHeight)));
}

// The factor at which a window opens: 1 where its designed size fits the client area the screen
// offers (`roomWidth` x `roomHeight`), else scaled down to fit, never below kSmallestScale.
[[nodiscard]] inline double openingScale(int designedWidth, int designedHeight, int roomWidth,
                                         int roomHeight)
{
    return std::min(1.0, scaleForClientArea(roomWidth, roomHeight, designedWidth, designedHeight));
}

} // namespace forms
