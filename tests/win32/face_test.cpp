// SPDX-License-Identifier: MIT
// The window's face where the system has the first and second faces of its list, neither of which
// Wine ships: copies of Liberation Sans Bold renamed "Microsoft Sans Serif" and "Arial", beside
// this program and registered for it alone. A program of its own, so that no window was made
// before the faces were there.
#include "tests/conformance/win32_window.hpp"

#include "ui/main_window.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

// A face in a file beside this program, registered for this process alone until it goes.
class PrivateFace {
public:
    explicit PrivateFace(const wchar_t *file)
    {
        std::array<wchar_t, MAX_PATH> path {};
        const std::wstring program(path.data(), GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
        m_path = program.substr(0, program.find_last_of(L"\\/") + 1) + file;
        m_added = AddFontResourceExW(m_path.c_str(), FR_PRIVATE, nullptr);
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
    int m_added = 0;
};

TEST(DesignedFace, IsTheFirstOfItsListWhereTheSystemHasIt)
{
    const PrivateFace first(L"face_microsoft_sans_serif.ttf");
    const PrivateFace second(L"face_arial.ttf");
    ASSERT_GT(first.added(), 0) << "face_microsoft_sans_serif.ttf beside the test program";
    ASSERT_GT(second.added(), 0) << "face_arial.ttf beside the test program";
    const auto form = testing_support::showMainWindow();
    ASSERT_NE(form, nullptr);
    // A title, a caption, a model button and a box: each of the window's fonts.
    for (const char *name : {"Label10", "Label1", "Command31", "Text1"}) {
        HWND control = form->handle(name);
        ASSERT_NE(control, nullptr) << name;
        const forms::win32::WindowDc dc(control, testing_support::fontOf(control));
        EXPECT_EQ(testing_support::faceOf(dc.get()), "Microsoft Sans Serif") << name;
    }
}

} // namespace
