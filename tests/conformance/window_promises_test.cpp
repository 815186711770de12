// SPDX-License-Identifier: MIT
// What the main window promises, stated once and held against every realisation of it: the
// in-memory form that the core's rules alone make, and the toolkit's window of this platform (Qt,
// or Win32 under Wine). Places at 96 and 144 DPI, the 42 clicks, the tab walk both ways, the key
// rows, and a refused and a failed write; and over the toolkit's window alone, the find row as a
// user works it by keyboard.
//
// Each realisation has a driver that acts on its main window as a user does: made at a DPI, it
// answers opened(), place(name), text(name) (a box's text, a button's caption), click(button),
// type(box, text), focus(name), focused(), tab(back), press(KeyCase) (true: the window closed),
// refuse(box, gone) (the box keeps nothing of a write, or is destroyed),
// clickReported(button) (what the error's report said) and heldReferences(). The toolkit's driver
// also presses the keys of the form's own table (forms::Key), types where the focus is (typeHere),
// waits pastThePause() in typing, and reads the find row (findRow(), null before its first use, for
// its marks and descriptions; findText(), answer()), the client area's size() and shown() pixels,
// menuOffered(key, modifiers) on a box (choosing its first item) and the clipboard's copied() text.
#include "tests/conformance/memory_window.hpp"
#include "tests/support/window_expectations.hpp"

#include "forms/core/keys.hpp"

#if defined(_WIN32)
#include "tests/conformance/win32_window.hpp"
#else
#include "tests/conformance/qt_window.hpp"
#endif

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using forms::Key;
using namespace testing_support;

#if defined(_WIN32)
using ToolkitWindow = Win32Window;
#else
using ToolkitWindow = QtWindow;
#endif
using Realisations = ::testing::Types<MemoryWindow, ToolkitWindow>;

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
// operation; the boxes before it show the new record, typed text replaced even where the record is
// blank, and those after it their old texts.
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

template <class Window> class FindRowPromises : public ::testing::Test {
};

TYPED_TEST_SUITE(FindRowPromises, ::testing::Types<ToolkitWindow>, RealisationName);

// The controls marked now, by name.
template <class Window> std::set<std::string> marked(const Window &window)
{
    std::set<std::string> names;
    if (const forms::FindRow *row = window.findRow()) {
        for (const auto &mark : row->currentMarks()) {
            names.emplace(mark.control->name);
        }
    }
    return names;
}

const std::set<std::string> kHolding4370805 {"Command23", "Command30", "Command31", "Command32",
                                             "Command36", "Command37", "Command38"};

TYPED_TEST(FindRowPromises, TypingMarksTheModelsAndEscGivesBackTheWindowAsDesigned)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    // Reached by the keyboard, so that the button shows its focus as it will when the row closes.
    window.focus("Command30");
    window.tab(false);
    ASSERT_EQ(window.focused(), "Command31");
    const auto designed = window.shown();
    const auto designedSize = window.size();
    ASSERT_FALSE(window.findText()) << "the row is made on first use, not at the start";

    window.press(Key::F, forms::kControl);
    ASSERT_NE(window.findRow(), nullptr);
    EXPECT_EQ(window.focused(), "findField");
    EXPECT_EQ(window.size().first, designedSize.first);
    EXPECT_GT(window.size().second, designedSize.second) << "the window grows by the row";
    window.typeHere("4370805");
    EXPECT_EQ(window.answer(), "4370805: 7 models: 3510, 6310, 6310I, 6510, 8310, 8910, 8910I");
    EXPECT_EQ(marked(window), kHolding4370805);
    window.pastThePause();
    const auto described = window.findRow()->described(); // in window order, as marked
    EXPECT_EQ(described.size(), kHolding4370805.size()) << "each marked button, no other";
    EXPECT_EQ(described.front().control->name, "Command23");
    EXPECT_EQ(described.front().description, "Holds 4370805 in POWER IC (UEM) 1");
    window.typeHere("x");
    EXPECT_TRUE(marked(window).empty()) << "no match: every mark goes";
    window.typeHere("\b");

    window.press(Key::Escape);
    EXPECT_EQ(window.focused(), "Command31") << "the focus goes back where it was";
    EXPECT_EQ(window.size(), designedSize);
    EXPECT_TRUE(marked(window).empty());
    EXPECT_TRUE(window.findRow()->described().empty());
    EXPECT_TRUE(window.shown() == designed) << "not the designed window's pixels";
    window.focus("Text16");
    window.tab(false);
    EXPECT_EQ(window.focused(), "Command1") << "the closed row is out of the tab order";

    window.press(Key::F, forms::kControl);
    EXPECT_EQ(window.findText(), "4370805");
    EXPECT_EQ(marked(window), kHolding4370805)
        << "opened again on the same text, it finds it again";
}

TYPED_TEST(FindRowPromises, EnterAndF3GoToTheMarkedModelsAsAClickDoes)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    window.type("Text3", "typed by hand");
    window.press(Key::F, forms::kControl);
    window.typeHere("4370453"); // twice in the 6150, nowhere else
    window.press(Key::Enter);
    EXPECT_EQ(boxTexts(window), textsAfter("Command10")) << "the sixteen writes of a click";
    EXPECT_EQ(marked(window), (std::set<std::string> {"Command10", "Text3", "Text5"}));
    EXPECT_EQ(window.focused(), "findField") << "the focus stays in the field";

    window.typeHere(std::string(7, '\b') + "4370805");
    // F3 steps on through the models that hold the part, Shift+F3 back, wrapping round.
    for (const auto &[back, button] :
         {std::pair {false, "Command23"}, std::pair {false, "Command30"},
          std::pair {true, "Command23"}, std::pair {true, "Command38"}}) {
        window.press(Key::F3, back ? forms::kShift : forms::kNoModifier);
        EXPECT_EQ(boxTexts(window), textsAfter(button)) << button;
    }
    EXPECT_TRUE(marked(window).contains("Text8")) << "the box that holds the part";
    EXPECT_EQ(window.heldReferences(), 0);
}

TYPED_TEST(FindRowPromises, ArrowKeysMoveAsTheButtonsLie)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    window.focus("Command2");
    for (const auto &[key, to] :
         {std::pair {Key::Right, "Command3"}, std::pair {Key::Down, "Command13"},
          std::pair {Key::Down, "Command20"}, std::pair {Key::Left, "Command19"},
          std::pair {Key::Up, "Command12"}}) {
        window.press(key);
        EXPECT_EQ(window.focused(), to);
    }
}

TYPED_TEST(FindRowPromises, TheBoxMenuFindsItsPartAndCtrlCCopiesAButtonsRecord)
{
    TypeParam window;
    ASSERT_TRUE(window.opened());
    window.click("Command31");
    for (const auto &[box, key, modifiers] : {std::tuple {"Text1", Key::Menu, forms::kNoModifier},
                                              std::tuple {"Text12", Key::F10, forms::kShift}}) {
        window.focus(box);
        const std::vector<std::string> offered = window.menuOffered(key, modifiers);
        ASSERT_GT(offered.size(), 4U) << "no menu with the box's standard items on " << box;
        EXPECT_EQ(offered.front(), "Find models with this part");
    }
    EXPECT_EQ(window.findText(), "N643HT7MI");
    EXPECT_EQ(window.answer(), "N643HT7MI: 7 models: 6310, 6310I, 6510, 8310, 8910, 3600, 6600");

    window.focus("Command31");
    window.press(Key::C, forms::kControl);
    EXPECT_EQ(window.copied(),
              "6310I\nPA IC 1: PF08125B\nRF IC 1: MJOELNER\nPOWER IC (UEM) 1: "
              "4370805\nUPP 1: 4370815\nFLASH IC 1: N643HT7MI\nRAM IC 1: @UPP\n");
}

} // namespace
