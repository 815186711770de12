// SPDX-License-Identifier: MIT
// The forms runtime's core: result codes, the run-time error a failed check raises, counted
// references released on every path, and fixed text colours kept readable on dark backgrounds.
#include "forms/core/contrast.hpp"
#include "forms/core/controls.hpp"
#include "forms/core/form.hpp"
#include "forms/core/result.hpp"
#include "forms/core/scaling.hpp"
#include "tests/support/contrast.hpp"
#include "tests/support/labelled_rows.hpp"
#include "tests/support/memory_form.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using forms::Operation;
using forms::ResultCode;
using testing_support::byLabel;
using testing_support::MemoryForm;

// Each code as a failed check reports it, worked out by hand: the error number is the code's low
// word, the code itself in hex, the control and what was being done to it. Codes without the high
// bit set are successes, whatever their value, and raise nothing. The two codes a write fails
// with, 380 and 424, are reported in the window's promises, box by box.
struct CodeCase {
    const char *label;
    ResultCode code;
    const char *message; // null: no run-time error
};

const auto kCodes = std::to_array<CodeCase>({
    {"ok", ResultCode::Ok, nullptr},
    {"other_success", static_cast<ResultCode>(1), nullptr},
    {"unknown_failure", static_cast<ResultCode>(0x80004005U),
     "Run-time error '16389': Unknown error (0x80004005) in Text4, set Text"},
});

class ResultCheck : public ::testing::TestWithParam<CodeCase> { };

TEST_P(ResultCheck, FailedCodesRaiseTheRunTimeErrorAndOthersPass)
{
    const CodeCase &c = GetParam();
    try {
        forms::checkResult(c.code, "Text4", Operation::SetText);
        EXPECT_EQ(c.message, nullptr) << "no run-time error raised";
    } catch (const forms::RunTimeError &error) {
        ASSERT_NE(c.message, nullptr) << error.what();
        EXPECT_EQ(error.code(), c.code);
        EXPECT_STREQ(error.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, ResultCheck, ::testing::ValuesIn(kCodes), byLabel);

TEST(CountedReference, IsReleasedOnEveryPathOutOfItsScopeAndEmptyForAMissingControl)
{
    MemoryForm form({{"Text1", ""}, {"Text2", ""}});
    {
        const auto window = forms::takeForm(form);
        auto box = form.takeTextBox("Text1");
        EXPECT_EQ(form.heldReferences(), 2);

        auto moved = std::move(box);
        EXPECT_FALSE(box); // NOLINT(bugprone-use-after-move): a moved-from reference is empty
        EXPECT_TRUE(moved);
        EXPECT_EQ(form.heldReferences(), 2) << "moving does not take another reference";

        moved = form.takeTextBox("Text2");
        EXPECT_EQ(form.heldReferences(), 2) << "assigning releases the reference it replaces";
        EXPECT_EQ(moved->name(), "Text2");
    }
    EXPECT_EQ(form.heldReferences(), 0);

    try {
        const auto box = form.takeTextBox("Text1");
        throw std::runtime_error("leaving by an exception");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(form.heldReferences(), 0);

    EXPECT_FALSE(form.takeTextBox("Text99")) << "a missing control gives an empty reference";
    EXPECT_EQ(form.heldReferences(), 0);
}

// A definition the compile-time checks would refuse, built anyway: each control still gets a
// parent (a frame defined before it, else the client area), and the focus walks the controls that
// take it by tab index, definition order breaking a tie.
TEST(ControlRules, EveryControlHasAContainerAndTheFocusWalksByTabIndex)
{
    using forms::ControlKind;
    constexpr auto controls = std::to_array<forms::ControlDefinition>({
        {.kind = ControlKind::CommandButton, .name = "Early", .container = "Frame", .tabIndex = 2},
        {.kind = ControlKind::Frame, .name = "Frame", .tabIndex = 0},
        {.kind = ControlKind::CommandButton, .name = "Inside", .container = "Frame", .tabIndex = 3},
        {.kind = ControlKind::TextBox, .name = "Nowhere", .container = "Missing", .tabIndex = 1},
        {.kind = ControlKind::Label, .name = "Label", .tabIndex = 4},
        {.kind = ControlKind::TextBox, .name = "InALabel", .container = "Label", .tabIndex = 2},
    });
    const std::vector<std::optional<std::size_t>> parents {
        std::nullopt, std::nullopt, 1, std::nullopt, std::nullopt, std::nullopt};
    EXPECT_EQ(forms::containers(controls), parents);
    EXPECT_EQ(forms::tabOrder(controls), (std::vector<std::size_t> {3, 0, 5, 2}));
    EXPECT_EQ(forms::controlIndex(controls, "Inside", ControlKind::CommandButton), 2U);
    EXPECT_EQ(forms::controlIndex(controls, "Nowhere", ControlKind::CommandButton), std::nullopt);
    EXPECT_TRUE(forms::check::uniqueNames(controls));
    EXPECT_FALSE(forms::check::containedInFrames(controls)) << "Early's frame comes after it";
}

enum class Shade : std::uint8_t { Same, Lighter, Darker };

struct ShadeCase {
    const char *label;
    forms::Rgb colour;
    forms::Rgb background;
    Shade shade; // Same: the colour must come back exactly as given
};

const auto kShades = std::to_array<ShadeCase>({
    {"blue_on_dark_grey", {0, 0, 255}, {45, 45, 45}, Shade::Lighter},
    {"red_on_dark_grey", {255, 0, 0}, {45, 45, 45}, Shade::Lighter},
    {"red_on_black", {255, 0, 0}, {0, 0, 0}, Shade::Same}, // already 5.25:1
    {"blue_on_near_black_blue", {0, 0, 255}, {20, 20, 40}, Shade::Lighter},
    {"blue_on_white", {0, 0, 255}, {255, 255, 255}, Shade::Same},
    {"blue_on_light_grey", {0, 0, 255}, {239, 239, 239}, Shade::Same},
    {"red_on_white", {255, 0, 0}, {255, 255, 255}, Shade::Darker}, // 4.0:1 as defined
    {"red_on_light_grey", {255, 0, 0}, {240, 240, 240}, Shade::Darker},
    {"blue_on_mid_grey", {0, 0, 255}, {110, 110, 110}, Shade::Lighter}, // dark by the rule, just
    // White reaches only 3.4:1 on this grey: every colour takes a dark shade, even one that
    // starts lighter than the grey.
    {"red_on_mid_grey", {255, 0, 0}, {140, 140, 140}, Shade::Darker}, // 1.19:1 as defined
    {"blue_on_mid_grey_8c", {0, 0, 255}, {140, 140, 140}, Shade::Darker},
    {"grey_on_mid_grey", {128, 128, 128}, {140, 140, 140}, Shade::Darker},
    {"red_on_dark_red", {255, 0, 0}, {90, 0, 0}, Shade::Lighter},
    // Both white and black reach 4.5:1 on this grey, just: the shade nearer the colour wins.
    {"red_on_grey_118", {255, 0, 0}, {118, 118, 118}, Shade::Lighter},
    {"blue_on_grey_118", {0, 0, 255}, {118, 118, 118}, Shade::Darker},
});

// The HSV hue in degrees.
double hue(forms::Rgb colour)
{
    const double r = colour.red;
    const double g = colour.green;
    const double b = colour.blue;
    const double high = std::max({r, g, b});
    const double range = high - std::min({r, g, b});
    if (range == 0) {
        return 0;
    }
    double degrees = high == r ? 60 * (g - b) / range
        : high == g            ? 60 * ((b - r) / range + 2)
                               : 60 * ((r - g) / range + 4);
    return degrees < 0 ? degrees + 360 : degrees;
}

// Its luminance by WCAG 2's own definition, apart from the runtime's arithmetic.
double luminanceOf(forms::Rgb colour)
{
    return testing_support::luminance(colour.red, colour.green, colour.blue);
}

double contrastOn(forms::Rgb text, forms::Rgb background)
{
    return testing_support::contrastRatio(luminanceOf(text), luminanceOf(background));
}

class TextShade : public ::testing::TestWithParam<ShadeCase> { };

// The shade reaches 4.5:1 with the hue unchanged (mixing with white or black moves the channels
// together), on the side the row expects, and is the least such shade: a step back towards the
// defined colour falls short.
TEST_P(TextShade, IsTheNearestReadableShade)
{
    const ShadeCase &c = GetParam();
    const forms::Rgb shown = forms::readableOn(c.colour, c.background);
    if (c.shade == Shade::Same) {
        EXPECT_EQ(shown, c.colour);
        return;
    }
    EXPECT_GE(contrastOn(shown, c.background), testing_support::kReadable);
    EXPECT_NEAR(hue(shown), hue(c.colour), 1.0);
    const double lighter = luminanceOf(shown) - luminanceOf(c.colour);
    EXPECT_EQ(lighter > 0, c.shade == Shade::Lighter) << lighter;
    const auto back = [](std::uint8_t now, std::uint8_t defined) {
        return static_cast<std::uint8_t>(now == defined ? now : now < defined ? now + 2 : now - 2);
    };
    const forms::Rgb stepBack {back(shown.red, c.colour.red), back(shown.green, c.colour.green),
                               back(shown.blue, c.colour.blue)};
    EXPECT_LT(contrastOn(stepBack, c.background), testing_support::kReadable);
}

INSTANTIATE_TEST_SUITE_P(Forms, TextShade, ::testing::ValuesIn(kShades), byLabel);

// A colour short of opaque over what lies under it, worked out by hand: under + (colour - under)
// x alpha / 255, rounded, channel by channel.
struct BlendCase {
    const char *label;
    forms::Rgb colour;
    std::uint8_t alpha;
    forms::Rgb under;
    forms::Rgb seen;
};

const auto kBlends = std::to_array<BlendCase>({
    {"clear_shows_only_what_is_under", {0, 0, 0}, 0, {239, 239, 239}, {239, 239, 239}},
    {"opaque_hides_what_is_under", {255, 255, 255}, 255, {0, 0, 0}, {255, 255, 255}},
    {"half_white_on_black", {255, 255, 255}, 128, {0, 0, 0}, {128, 128, 128}},
    {"a_fifth_red_on_blue", {255, 0, 0}, 51, {0, 0, 255}, {51, 0, 204}},
    {"a_quarter_each_channel_rounded", {100, 150, 200}, 64, {20, 40, 60}, {40, 68, 95}},
});

class Blend : public ::testing::TestWithParam<BlendCase> { };

TEST_P(Blend, MixesByOpacity)
{
    const BlendCase &c = GetParam();
    EXPECT_EQ(forms::seenThrough(c.colour, c.alpha, c.under), c.seen);
}

INSTANTIATE_TEST_SUITE_P(Forms, Blend, ::testing::ValuesIn(kBlends), byLabel);

// The size the window opens at, for the designed 642 x 525 pixels at 96 DPI (963 x 788 at 144),
// worked out by hand. The scale an enlarged or shrunk window's size calls for is the layout
// test's (tests/ui/layout_test.cpp, EnlargedWindow), on the window itself.
struct ScaleCase {
    const char *label;
    int width; // the room the screen offers the client area
    int height;
    int designedWidth;
    int designedHeight;
    double scale;
};

const auto kScales = std::to_array<ScaleCase>({
    {"full_hd_opens_designed", 1904, 1001, 642, 525, 1.0},
    {"netbook_1024x600_opens_designed", 1008, 540, 642, 525, 1.0},
    {"laptop_1366x768_at_150_percent_fits", 1350, 690, 963, 788, 690 / 788.0},
    {"tiny_screen_opens_at_the_least_scale", 400, 300, 642, 525, 0.82},
});

class WindowScale : public ::testing::TestWithParam<ScaleCase> { };

TEST_P(WindowScale, KeepsTheProportionsWithinTheLeastScale)
{
    const ScaleCase &c = GetParam();
    EXPECT_NEAR(forms::openingScale(c.designedWidth, c.designedHeight, c.width, c.height), c.scale,
                1e-9);
}

INSTANTIATE_TEST_SUITE_P(Forms, WindowScale, ::testing::ValuesIn(kScales), byLabel);

} // namespace
