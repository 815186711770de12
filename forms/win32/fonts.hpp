// SPDX-License-Identifier: MIT
// A definition's fonts as GDI draws them: the face asked for in place of the designed one, the
// size at a DPI and scale, and small bold text drawn so that it reads bold.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/win32/handles.hpp"

#include <string>
#include <string_view>

namespace forms::win32 {

// The face GDI is asked for in place of `face`: the first of Windows' substitutes (forms/core's
// face table) that the system has, else `face` itself for GDI's font mapper to choose from.
[[nodiscard]] std::wstring installedFace(std::string_view face);

// The height a font of `font`'s point size is asked for in (negative: the character height, as
// GDI takes a size in points), at `dpi` and `scale`.
[[nodiscard]] int fontHeight(const Font &font, unsigned dpi, double scale);

// Whether text in `font` at this height (fontHeight's) is drawn without smoothing: bold text
// under 16 pixels to the em. Smoothed there, a bold stem of under two pixels lands as one dark
// pixel and a grey one and reads as regular; unsmoothed, the hinting makes it two whole pixels
// against a regular stem's one, as the designed bitmap face drew it.
[[nodiscard]] bool drawnUnsmoothed(const Font &font, int height);

// A definition's font as GDI draws it.
[[nodiscard]] FontHandle createFont(const Font &font, unsigned dpi, double scale);

} // namespace forms::win32
