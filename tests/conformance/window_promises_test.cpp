// SPDX-License-Identifier: MIT
// What the main window promises, stated once and held against every realisation of it: the
// in-memory form that the core's rules alone make, and the toolkit's window of this platform (Qt,
// or Win32 under Wine). Places at 96 and 144 DPI, the 42 clicks, typed text replaced, the tab walk
// both ways, the key rows, and a refused and a failed write.
//
// Each realisation has a driver that acts on its main window as a user does: made at a DPI, it
// answers opened(), place(name), text(name) (a box's text, a button's caption), click(button),
// type(box, text), focus(name), focused(), tab(back), press(KeyCase) (true: the window closed),
// refuse(box, gone) (the box keeps nothing of a write, or is destroyed),
// clickReported(button) (what the error's report said) and heldReferences().
#include "tests/conformance/memory_window.hpp"
#include "tests/support/window_expectations.hpp"

#if defined(_WIN32)
#include "tests/conformance/win32_window.hpp"
#else
#include "tests/conformance/qt_window.hpp"
#endif

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

#if defined(_WIN32)
using Realisations = ::testing::Types<MemoryWindow, Win32Window>;
#else
using Realisations = ::testing::Types<MemoryWindow, QtWindow>;
#endif

struct RealisationName {
    template <class Window> static std::string GetName(int /*index*/)
    {
        return std::string(Window::kName);
    }
};

template <class Window> class WindowPromises : public ::testing::Test {
};

TYPED_TEST_SUITE(WindowPromises, Realisations, RealisationName);

TYPED_TEST(WindowPromises, PlacesEachControlInItsContainerAt96And144Dpi)
{
    for (const unsigned dpi : {96U, 144U}) {
        TypeParam window(dpi);
        ASSERT_TRUE(window.opened()) << dpi;
        const auto scaled = [dpi](int pixels) { return std::lround(pixels * (dpi / 96.0)); };
        for (const PixelCase &row : kPixels) {
            SCOPED_TRACE(std::string(row.label) + " at " + std::to_string(dpi) + " DPI");
            const auto at = window.place(row.control);
            ASSERT_TRUE(at.has_value());
            EXPECT_NEAR(at->x, scaled(row.x), 1);
            EXPECT_NEAR(at->y, scaled(row.y), 1);
            EXPECT_NEAR(at->width, scaled(row.width), 1);
            EXPECT_NEAR(at->height, scaled(row.height), 1);
            EXPECT_EQ(at->container, row.container);
        }
    }
}

TYPED_TEST(WindowPromises, OpensWithNokiaInTheModelBoxAndTheFocusOnCommand1)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    std::array<std::string, 16> initial {"NOKIA"};
    EXPECT_EQ(boxTexts(window), initial);
    EXPECT_EQ(window.focused(), "Command1");
}

// One window for the 42 clicks: each click writes all sixteen boxes, whatever was there.
TYPED_TEST(WindowPromises, EachOfTheFortyTwoClicksLeavesItsSixteenTexts)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    for (const ClickCase &row : kClicks) {
        SCOPED_TRACE(std::string(row[0]));
        EXPECT_EQ(window.text(row[0]), row[1]) << "the button's caption";
        window.click(row[0]);
        EXPECT_EQ(boxTexts(window), textsAfter(row[0]));
        EXPECT_EQ(window.heldReferences(), 0);
    }
}

TYPED_TEST(WindowPromises, TypedTextIsReplacedByTheNextClickEvenWhereTheRecordIsBlank)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    for (int n = 1; n <= 16; ++n) {
        window.type("Text" + std::to_string(n), "typed");
    }
    ASSERT_EQ(window.text("Text9"), "typed");
    window.click("Command1"); // 2100: Text9 is blank
    EXPECT_EQ(boxTexts(window), textsAfter("Command1"));
}

// Round once each way from Command1; Tab from Command38 opens the WD2 frame at Command25.
TYPED_TEST(WindowPromises, TabWalksTheTabOrderBothWaysAndRound)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    const std::vector<std::string> order = focusOrder();
    for (const bool back : {false, true}) {
        std::vector<std::string> walked;
        for (std::size_t i = 0; i < order.size(); ++i) {
            window.tab(back);
            walked.push_back(window.focused());
        }
        std::vector<std::string> cycle(order.begin() + 1, order.end());
        cycle.push_back(order.front());
        if (back) {
            cycle.assign(order.rbegin(), order.rend());
        }
        EXPECT_EQ(walked, cycle) << (back ? "Shift+Tab" : "Tab");
        EXPECT_EQ(window.focused(), "Command1");
    }
}

TYPED_TEST(WindowPromises, KeysPressTheFocusedButtonCloseTheWindowOrDoNothing)
{
    for (const KeyCase &row : kKeys) {
        SCOPED_TRACE(row.label);
        TypeParam window;
        ASSERT_TRUE(window.opened());
        window.focus(row.focus);
        const auto before = boxTexts(window);
        const bool closed = window.press(row);
        EXPECT_EQ(closed, row.effect == KeyEffect::Closes);
        if (closed) {
            continue;
        }
        EXPECT_EQ(window.focused(), row.focus) << "the focus stays";
        EXPECT_EQ(boxTexts(window),
                  row.effect == KeyEffect::Presses ? textsAfter(row.focus) : before);
    }
}

// A box that cannot hold the text, each box in turn: the report names the error, the box and the
// operation; the boxes before it show the new record and those after it their old texts.
TYPED_TEST(WindowPromises, ARefusedOrFailedWriteIsReportedAndLeavesLaterBoxesUntouched)
{
    for (const RefusalCase &row : refusalCases()) {
        SCOPED_TRACE(row.label + " writing " + std::string(row.button));
        TypeParam window;
        ASSERT_TRUE(window.opened());
        for (int n = 1; n <= 16; ++n) {
            window.type("Text" + std::to_string(n), "old");
        }
        window.refuse("Text" + std::to_string(row.box), row.gone);
        const std::string shown = window.clickReported(row.button);
        EXPECT_NE(shown.find(row.shown), std::string::npos) << shown;
        const auto record = textsAfter(row.button);
        for (int n = 1; n <= 16; ++n) {
            if (n != row.box) {
                EXPECT_EQ(window.text("Text" + std::to_string(n)),
                          n < row.box ? record.at(n - 1) : "old")
                    << n;
            }
        }
        EXPECT_EQ(window.heldReferences(), 0);
    }
}

} // namespace
