// SPDX-License-Identifier: MIT
// The line a failed start prints, from the messages Qt 6 gives on the way to its fatal error (as
// Qt 6.4 words them), ending with Qt's own words; and the settings under which no window shows.
// What the real executable says without a display, on a display that does not answer, on a
// platform that is not installed and at each scale it refuses is held where ctest runs it
// (tests/reliability/CMakeLists.txt).
#include "forms/qt/start_messages.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace {

using testing_support::byLabel;
using testing_support::PrintTo;

constexpr std::string_view kNoPluginFatal
    = "This application failed to start because no Qt platform plugin could be initialized. "
      "Reinstalling the application may fix this problem.\n\nAvailable platform plugins are: "
      "eglfs, linuxfb, minimal, offscreen, vnc, xcb.\n";

struct StartCase {
    const char *label;
    std::string_view held;
    std::string_view fatal;
    std::optional<std::string_view> platform;
    std::optional<std::string_view> display;
    std::string_view said;
};

const auto kCases = std::to_array<StartCase>({
    {"unknown_platform_and_no_list", "Could not find the Qt platform plugin \"nonesuch\" in \"\"\n",
     "This application failed to start because no Qt platform plugin could be initialized.\n",
     "nonesuch", ":0",
     "no usable platform plugin: \"nonesuch\" is not installed; Qt: Could not find the Qt "
     "platform plugin \"nonesuch\" in \"\""},
    {"platform_that_fails_to_start",
     "Could not load the Qt platform plugin \"eglfs\" in \"\" even though it was found.\n",
     kNoPluginFatal, "eglfs", std::nullopt,
     "no usable platform plugin: \"eglfs\" is installed but could not start; Qt: Could not load "
     "the Qt platform plugin \"eglfs\" in \"\" even though it was found."},
    // A display's name is echoed escaped: it cannot forge a second line or colour the terminal.
    {"display_with_escapes_and_a_line_end", "could not connect to display \x1b[31m:7\n",
     kNoPluginFatal, "xcb", "\x1b[31m:7\nicatlas: all good",
     R"(no display is reachable (the display "\x1b[31m:7\nicatlas: all good" does not answer; )"
     R"(platform "xcb"); Qt: could not connect to display \x1b[31m:7)"},
    // Readable UTF-8 shows as typed; a direction override, which would turn the line round, as
    // an escape.
    {"display_with_an_accent_and_a_direction_override",
     "could not connect to display \xc3\xa9:7\xe2\x80\xae\n", kNoPluginFatal, "xcb",
     "\xc3\xa9:7\xe2\x80\xae",
     "no display is reachable (the display \"\xc3\xa9:7\\u202e\" does not answer; platform "
     "\"xcb\"); Qt: could not connect to display \xc3\xa9:7\\u202e"},
    {"cause_not_known", "", "Something else went wrong.\nDetails.\n", std::nullopt, std::nullopt,
     "Something else went wrong."},
    {"nothing_said", "", "", std::nullopt, std::nullopt, "the toolkit gave no reason"},
});

class StartFailureLine : public ::testing::TestWithParam<StartCase> { };

TEST_P(StartFailureLine, SaysPlainlyWhatIsWrong)
{
    const StartCase &c = GetParam();
    const std::string said = forms::describeStartFailure(
        {.platform = c.platform, .display = c.display}, c.held, c.fatal);
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(said.find('\n'), std::string::npos) << "one line";
}

INSTANTIATE_TEST_SUITE_P(QtMessages, StartFailureLine, ::testing::ValuesIn(kCases), byLabel);

// Settings read before the toolkit starts: the bounds of each scale factor and of their product
// with the dots per inch, numbers written as the toolkit reads them, and platforms with options.
struct SettingsCase {
    const char *label;
    std::optional<std::string_view> platform;
    std::optional<std::string_view> scaleFactor;
    std::optional<std::string_view> said; // nothing: the start goes on
    std::optional<std::string_view> screenScaleFactors = std::nullopt;
    std::optional<std::string_view> fontDpi = std::nullopt;
};

const auto kSettings = std::to_array<SettingsCase>({
    {"nothing_set", std::nullopt, std::nullopt, std::nullopt},
    {"smallest_scale", "xcb", "0.25", std::nullopt},
    {"largest_scale", std::nullopt, "8", std::nullopt},
    {"scale_with_blanks_and_plus", std::nullopt, " +2 ", std::nullopt},
    {"scale_that_is_no_number", std::nullopt, "big", std::nullopt},
    {"scale_just_below", std::nullopt, "0.24",
     "QT_SCALE_FACTOR=0.24 leaves no window that can be shown (it must be a number from 0.25 to "
     "8)"},
    {"scale_just_above", std::nullopt, "8.01",
     "QT_SCALE_FACTOR=8.01 leaves no window that can be shown (it must be a number from 0.25 to "
     "8)"},
    {"scale_of_a_billion_with_plus", std::nullopt, "+1e9\n",
     "QT_SCALE_FACTOR=1e+09 leaves no window that can be shown (it must be a number from 0.25 to "
     "8)"},
    {"scale_not_a_number", std::nullopt, "nan",
     "QT_SCALE_FACTOR=nan leaves no window that can be shown (it must be a number from 0.25 to 8)"},
    {"platform_without_windows_with_options", "vkkhrdisplay:size=640x480", std::nullopt,
     "the platform \"vkkhrdisplay\" shows only Vulkan surfaces, not windows"},
    // Each screen's factor, plain or named, and what the toolkit skips.
    {"screen_factors_plain_and_named", std::nullopt, std::nullopt, std::nullopt, "1.5;HDMI-1=2;8"},
    {"screen_factors_it_skips", std::nullopt, std::nullopt, std::nullopt, "0;-3;big;a=nan;;"},
    {"second_screen_factor_too_large", std::nullopt, std::nullopt,
     "the factor 100 in QT_SCREEN_SCALE_FACTORS leaves no window that can be shown (each must be "
     "a number from 0.25 to 8)",
     "1.5;100"},
    // The product of the scale, each screen's factor and the dots per inch over 96.
    {"dpi_of_one", std::nullopt, std::nullopt,
     "QT_FONT_DPI=1 leaves no window that can be shown (it is scaled by 0.0104167; the scale "
     "must come to 0.25 to 8)",
     std::nullopt, "1"},
    {"dpi_that_cancels_the_scale", std::nullopt, "0.5", std::nullopt, std::nullopt, "192"},
    {"dpi_the_toolkit_skips", std::nullopt, "8", std::nullopt, std::nullopt, "1.5"},
    {"scale_with_a_screen_factor_too_large", std::nullopt, "4",
     "QT_SCALE_FACTOR=4 with the factor 4 in QT_SCREEN_SCALE_FACTORS leaves no window that can "
     "be shown (together they scale it by 16; the scale must come to 0.25 to 8)",
     "2;4"},
});

class StartSettings : public ::testing::TestWithParam<SettingsCase> { };

TEST_P(StartSettings, RefusesOnlyWhatShowsNoWindow)
{
    const SettingsCase &c = GetParam();
    const std::optional<std::string> said
        = forms::refusedSettings({.platform = c.platform,
                                  .scaleFactor = c.scaleFactor,
                                  .screenScaleFactors = c.screenScaleFactors,
                                  .fontDpi = c.fontDpi});
    EXPECT_EQ(said, c.said ? std::optional<std::string>(*c.said) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Environment, StartSettings, ::testing::ValuesIn(kSettings), byLabel);

} // namespace
