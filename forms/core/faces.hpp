// SPDX-License-Identifier: MIT
// The faces drawn in place of a face a definition names, one column per platform: what each
// realisation asks its platform for when the designed face is not there to be had.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace forms {

enum class Platform : std::uint8_t { Linux, Windows };

// Faces in the order they are tried; an empty entry ends the list.
using FaceList = std::array<std::string_view, 2>;

struct FaceSubstitution {
    std::string_view face; // as a definition names it
    FaceList onLinux; // asked of fontconfig by name (Qt): the first is installed with the program
    FaceList onWindows; // the first that GDI has; none: the face as named, for GDI to choose
};

// "MS Sans Serif" was a bitmap face with whole-pixel strokes. Windows has its TrueType twin,
// Microsoft Sans Serif, made to its widths, and else Arial; Liberation Sans has Arial's widths.
inline constexpr std::array kFaceSubstitutions {
    //               designed face    Linux                Windows
    FaceSubstitution {"MS Sans Serif", {"Liberation Sans"}, {"Microsoft Sans Serif", "Arial"}},
};

// The faces to try in place of `face` on `platform`, in order; empty when it is asked for as named.
[[nodiscard]] constexpr std::span<const std::string_view> substitutesFor(std::string_view face,
                                                                         Platform platform)
{
    const auto *row = std::ranges::find(kFaceSubstitutions, face, &FaceSubstitution::face);
    if (row == kFaceSubstitutions.end()) {
        return {};
    }
    const FaceList &list = platform == Platform::Linux ? row->onLinux : row->onWindows;
    return {list.begin(), std::find(list.begin(), list.end(), std::string_view())};
}

} // namespace forms
