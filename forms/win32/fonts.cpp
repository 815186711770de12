// SPDX-License-Identifier: MIT
// The definition's fonts as GDI draws them (see fonts.hpp).
#include "forms/win32/fonts.hpp"

#include "forms/core/faces.hpp"
#include "forms/win32/wide.hpp"

#include <windows.h>

#include <cmath>
#include <utility>
#include <vector>

namespace forms::win32 {

namespace {

constexpr int kSmoothedBoldFrom = 16; // pixels to the em

int CALLBACK noteFound(const LOGFONTW * /*font*/, const TEXTMETRICW * /*metrics*/, DWORD /*type*/,
                       LPARAM found)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the flag handed to the enumeration
    *reinterpret_cast<bool *>(found) = true;
    return 0; // one is enough
}

bool isInstalled(const std::wstring &face)
{
    LOGFONTW wanted {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace

std::wstring installedFace(std::string_view face)
{
    // Looked up once per face for the program's life: fonts installed meanwhile count from the
    // next start.
    static std::vector<std::pair<std::string, std::wstring>> chosen;
    for (const auto &[designed, installed] : chosen) {
        if (designed == face) {
            return installed;
        }
    }
    std::wstring installed = widen(face);
    for (const std::string_view substitute : substitutesFor(face, Platform::Windows)) {
        if (std::wstring candidate = widen(substitute); isInstalled(candidate)) {
            installed = std::move(candidate);
            break;
        }
    }
    chosen.emplace_back(face, installed);
    return installed;
}

int fontHeight(const Font &font, unsigned dpi, double scale)
{
    return -static_cast<int>(std::lround(font.centipoints * dpi * scale / 7200.0));
}

bool drawnUnsmoothed(const Font &font, int height)
{
    return font.weight >= FW_BOLD && std::abs(height) < kSmoothedBoldFrom;
}

FontHandle createFont(const Font &font, unsigned dpi, double scale)
{
    LOGFONTW logFont {};
    logFont.lfHeight = fontHeight(font, dpi, scale);
    logFont.lfWeight = font.weight;
    logFont.lfItalic = font.italic ? TRUE : FALSE;
    logFont.lfUnderline = font.underline ? TRUE : FALSE;
    // Every text shown is plain ASCII: the declared character set would only steer GDI's choice
    // of face towards an Arabic one.
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_TT_PRECIS;
    logFont.lfQuality = static_cast<BYTE>(
        drawnUnsmoothed(font, logFont.lfHeight) ? NONANTIALIASED_QUALITY : CLEARTYPE_QUALITY);
    installedFace(font.face).copy(logFont.lfFaceName, LF_FACESIZE - 1);
    return FontHandle(CreateFontIndirectW(&logFont));
}

} // namespace forms::win32
