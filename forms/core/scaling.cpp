// SPDX-License-Identifier: MIT
// Twips to pixels, and the factor a window's size gives what it holds.
#include "forms/core/scaling.hpp"

#include <algorithm>
#include <cmath>

namespace forms {

int twipsToPixels(Twips twips, double dpi, double scale)
{
    return static_cast<int>(std::lround(twips * dpi * scale / 1440.0));
}

double scaleForClientArea(int width, int height, int designedWidth, int designedHeight)
{
    if (designedWidth <= 0 || designedHeight <= 0) {
        return 1.0;
    }
    return std::max(kSmallestScale,
                    std::min(width / static_cast<double>(designedWidth),
                             height / static_cast<double>(designedHeight)));
}

double openingScale(int designedWidth, int designedHeight, int roomWidth, int roomHeight)
{
    return std::min(1.0, scaleForClientArea(roomWidth, roomHeight, designedWidth, designedHeight));
}

} // namespace forms
