// SPDX-License-Identifier: MIT
// The window's face where the system has the first face of its list and the second: faces named
// "Microsoft Sans Serif" and "Arial" (copies of Liberation Sans Bold renamed, beside this program),
// neither of which Wine ships, registered for this process alone. A program of its own, so that no
// window was made before the faces were there.
#include "tests/conformance/win32_window.hpp"

#include "ui/main_window.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

using forms::ControlDefinition;
using icatlas::ui::kForm1Controls;

std::wstring besideThisProgram(const wchar_t *file)
{
    std::array<wchar_t, MAX_PATH> path {};
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    std::wstring folder(path.data(), length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + file;
}

// The private face taken back however the test ends.
class PrivateFace {
public:
    explicit PrivateFace(std::wstring path)
        : m_path(std::move(path))
        , m_added(AddFontResourceExW(m_path.c_str(), FR_PRIVATE, nullptr))
    {
    }
    PrivateFace(const PrivateFace &) = delete;
    PrivateFace &operator=(const PrivateFace &) = delete;
    ~PrivateFace()
    {
        if (m_added > 0) {
            RemoveFontResourceExW(m_path.c_str(), FR_PRIVATE, nullptr);
        }
    }
    [[nodiscard]] int added() const { return m_added; }

private:
    std::wstring m_path;
    int m_added;
};

TEST(DesignedFace, IsTheFirstOfItsListWhereTheSystemHasIt)
{
    const PrivateFace first(besideThisProgram(L"face_microsoft_sans_serif.ttf"));
    const PrivateFace second(besideThisProgram(L"face_arial.ttf"));
    ASSERT_GT(first.added(), 0) << "face_microsoft_sans_serif.ttf beside the test program";
    ASSERT_GT(second.added(), 0) << "face_arial.ttf beside the test program";
    const auto form = testing_support::showMainWindow();
    ASSERT_NE(form, nullptr);
    for (const ControlDefinition &def : kForm1Controls) {
        if (def.font.face.empty()) {
            continue;
        }
        HWND control = form->handle(def.name);
        ASSERT_NE(control, nullptr) << def.name;
        HDC dc = GetDC(control);
        HGDIOBJ previous
            = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        std::array<wchar_t, LF_FACESIZE> drawnFace {};
        GetTextFaceW(dc, static_cast<int>(drawnFace.size()), drawnFace.data());
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
        const std::string drawn(drawnFace.begin(),
                                std::find(drawnFace.begin(), drawnFace.end(), L'\0'));
        EXPECT_EQ(drawn, "Microsoft Sans Serif") << def.name;
    }
}

} // namespace
