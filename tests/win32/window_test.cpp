// SPDX-License-Identifier: MIT
// What only the Win32 window can get wrong, beyond the promises every realisation keeps: the
// client area's size at 96 and 144 DPI, every caption in its font and fitting, a cut-off box's
// tooltip, and the untrapped error's line and status through the program's own loop.
#include "tests/conformance/win32_window.hpp"

#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"
#include "forms/win32/dpi.hpp"
#include "forms/win32/fonts.hpp"
#include "forms/win32/wide.hpp"
#include "ui/main_window.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using forms::ControlDefinition;
using forms::ControlKind;
using icatlas::ui::kForm1Controls;
using testing_support::showMainWindow;
using testing_support::windowText;

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

// Every control with text draws it bold, at its point size at the DPI, in the substituted face or,
// where that is missing, a face of the same widths: the captions fit as designed.
TEST_P(AtDpi, EveryCaptionIsDrawnInItsFontAndFits)
{
    const unsigned dpi = GetParam().dpi;
    const auto form = showMainWindow(dpi);
    ASSERT_NE(form, nullptr);
    for (const ControlDefinition &def : kForm1Controls) {
        if (def.font.face.empty()) {
            continue;
        }
        HWND control = form->handle(def.name);
        ASSERT_NE(control, nullptr) << def.name;
        const testing_support::ControlFontDc dc(control);
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc.get(), &metrics);
        const std::wstring caption = forms::win32::widen(def.text);
        SIZE extent {};
        GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
        const std::string drawn = dc.face();
        EXPECT_TRUE(drawn == "Arial" || drawn == "Liberation Sans") << def.name << ": " << drawn;
        EXPECT_GE(metrics.tmWeight, 700) << def.name;
        EXPECT_EQ(metrics.tmItalic, 0) << def.name;
        // The character height asked for, to the pixel the renderer rounds to.
        EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading,
                    -forms::win32::fontHeight(def.font, dpi, 1.0), 1)
            << def.name;
        if (def.kind != ControlKind::TextBox) {
            RECT at {};
            GetClientRect(control, &at);
            EXPECT_LE(extent.cx, at.right) << def.name << " \"" << def.text << "\"";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, AtDpi, ::testing::ValuesIn(kScreens),
                         [](const auto &info) { return std::string(info.param.label); });

// A long text is stored whole and shown from its start; the tooltip offers it whole, and a box that
// shows all of its text offers none.
TEST(MainWindow, CutOffTextIsStoredWholeAndOfferedAsTheTooltip)
{
    const auto form = showMainWindow();
    ASSERT_NE(form, nullptr);
    SendMessageW(form->handle("Command6"), BM_CLICK, 0, 0); // 5110
    testing_support::pump(*form);
    EXPECT_EQ(windowText(form->handle("Text14")), "KM68U512ALTGE (512kbit)");
    EXPECT_EQ(form->toolTip("Text14"), "KM68U512ALTGE (512kbit)");
    EXPECT_EQ(SendMessageW(form->handle("Text14"), EM_GETSEL, 0, 0), 0) << "shown from its start";
    EXPECT_EQ(form->toolTip("Text2"), "");
    EXPECT_EQ(form->toolTip("Text3"), "");
}

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
