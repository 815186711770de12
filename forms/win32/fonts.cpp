// SPDX-License-Identifier: MIT
// A definition's fonts as GDI draws them: the face asked for in place of the designed one, the
// size at a DPI and scale, and small bold text drawn so that it reads bold.
#include "forms/win32/win32_form.hpp"

#include "forms/core/faces.hpp"
#include "forms/win32/wide.hpp"

#include <windows.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace forms::win32 {

namespace {

// Whether GDI draws a font asked for by that face in that face itself, not in a stand-in.
bool isInstalled(const std::wstring &face)
{
    LOGFONTW wanted {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    const FontHandle font(CreateFontIndirectW(&wanted));
    std::array<wchar_t, LF_FACESIZE> drawn {};
    GetTextFaceW(WindowDc(nullptr, font.get()).get(), LF_FACESIZE, drawn.data());
    return face == drawn.data();
}

// Looked up once per face: fonts installed meanwhile count from the next start.
std::wstring installedFace(std::string_view face)
{
    static std::map<std::string, std::wstring, std::less<>> chosen;
    if (const auto known = chosen.find(face); known != chosen.end()) {
        return known->second;
    }
    std::wstring installed = widen(face);
    for (const std::string_view substitute : substitutesFor(face, Platform::Windows)) {
        if (std::wstring candidate = widen(substitute); isInstalled(candidate)) {
            installed = std::move(candidate);
            break;
        }
    }
    return chosen.emplace(face, std::move(installed)).first->second;
}

} // namespace

FontHandle createFont(const Font &font, unsigned dpi, double scale)
{
    LOGFONTW logFont {};
    // Negative: the character height, as GDI takes a size in points.
    logFont.lfHeight = -static_cast<int>(std::lround(font.centipoints * dpi * scale / 7200.0));
    logFont.lfWeight = font.weight;
    logFont.lfItalic = font.italic ? TRUE : FALSE;
    logFont.lfUnderline = font.underline ? TRUE : FALSE;
    // Every text shown is plain ASCII: the declared character set would only steer GDI's choice
    // of face towards an Arabic one.
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_TT_PRECIS;
    // Bold text under 16 pixels to the em is drawn unsmoothed: smoothed, a bold stem of under two
    // pixels lands as one dark pixel and a grey one and reads as regular; unsmoothed, the hinting
    // makes it two whole pixels against a regular stem's one, as the designed bitmap face drew it.
    const bool unsmoothed = font.weight >= FW_BOLD && -logFont.lfHeight < 16;
    logFont.lfQuality = static_cast<BYTE>(unsmoothed ? NONANTIALIASED_QUALITY : CLEARTYPE_QUALITY);
    installedFace(font.face).copy(logFont.lfFaceName, LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&logFont));
}

} // namespace forms::win32
