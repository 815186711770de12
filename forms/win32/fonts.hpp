// SPDX-License-Identifier: MIT
// A definition's fonts as GDI draws them: the face asked for in place of the designed one, the
// size at a DPI and scale, and small bold text drawn so that it reads bold.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/win32/handles.hpp"

namespace forms::win32 {

// `font` at `dpi` and `scale`, in the first of Windows' substitutes for its face (forms/core's face
// table) that the system has, else in its face as named, for GDI's font mapper to choose from.
[[nodiscard]] FontHandle createFont(const Font &font, unsigned dpi, double scale);

} // namespace forms::win32
