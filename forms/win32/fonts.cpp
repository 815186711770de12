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
    // The face: the first substitute that GDI draws a font asked for by that face in, not in a
    // stand-in; else the face as named. Looked up once per face: fonts installed meanwhile count
    // from the next start.
    static std::map<std::string, std::wstring, std::less<>> chosen;
    auto known = chosen.find(font.face);
    if (known == chosen.end()) {
        std::wstring installed = widen(font.face);
        for (const std::string_view substitute : substitutesFor(font.face, Platform::Windows)) {
            LOGFONTW wanted {};
            wanted.lfCharSet = DEFAULT_CHARSET;
            std::wstring candidate = widen(substitute);
            candidate.copy(wanted.lfFaceName, LF_FACESIZE - 1);
            const FontHandle asked(CreateFontIndirectW(&wanted));
            std::array<wchar_t, LF_FACESIZE> drawn {};
            GetTextFaceW(WindowDc(nullptr, asked.get()).get(), LF_FACESIZE, drawn.data());
            if (candidate == drawn.data()) {
                installed = std::move(candidate);
                break;
            }
        }
        known = chosen.emplace(font.face, std::move(installed)).first;
    }
    known->second.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&logFont));
}

} // namespace forms::win32
