// SPDX-License-Identifier: MIT
// What only the Win32 window can get wrong, beyond the promises every realisation keeps: the
// client area's size at 96 and 144 DPI, and the untrapped error's line and status through the
// program's own loop. Every caption's font and fit at each DPI is held where the window is resized
// and moved between DPIs; a cut-off box's tooltip where the window's looks are.
#include "tests/conformance/win32_window.hpp"

#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"
#include "ui/main_window.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using testing_support::showMainWindow;

struct Screen {
    const char *label;
    unsigned dpi;
    SIZE client; // the designed client area, worked out by hand: 9630 x 7875 twips
};

void PrintTo(const Screen &row, std::ostream *out)
{
    *out << row.label;
}

const auto kScreens
    = std::to_array<Screen>({{"dpi96", 96, {642, 525}}, {"dpi144", 144, {963, 788}}});

class AtDpi : public ::testing::TestWithParam<Screen> { };

// The frame round the client area is reckoned so that the client area has the designed size.
TEST_P(AtDpi, TheClientAreaHasTheDesignedSize)
{
    const auto form = showMainWindow(GetParam().dpi);
    ASSERT_NE(form, nullptr);
    RECT client {};
    GetClientRect(form->window(), &client);
    EXPECT_EQ(client.right, GetParam().client.cx);
    EXPECT_EQ(client.bottom, GetParam().client.cy);
}

INSTANTIATE_TEST_SUITE_P(Form1, AtDpi, ::testing::ValuesIn(kScreens),
                         [](const auto &info) { return std::string(info.param.label); });

// The whole path in a process of its own, through the program's own loop: the report's line on
// stderr, and the untrapped error's exit status once the user has closed it.
TEST(UntrappedError, EndsTheProgramWithItsStatusAndTheLineOnStderr)
{
    EXPECT_EXIT(
        {
            const testing_support::HangGuard guard("the untrapped error's report");
            forms::setProgramName(icatlas::ui::kProject.name); // as the program's start names it
            const auto form = showMainWindow();
            if (form == nullptr) {
                std::exit(1);
            }
            testing_support::refuseWrites(form->handle("Text2"), false);
            PostMessageW(form->handle("Command31"), BM_CLICK, 0, 0);
            SetTimer(nullptr, 0, 20, testing_support::closeReport);
            std::exit(forms::runEventLoop(*form));
        },
        ::testing::ExitedWithCode(forms::kUntrappedErrorExitCode),
        "icatlas: Run-time error '380': Invalid property value .* in Text2, set Text");
}

} // namespace
