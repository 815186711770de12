// SPDX-License-Identifier: MIT
// The line a failed start prints, from the messages Qt 6 gives on the way to its fatal error (as
// Qt 6.4 words them). The real executable failing to start is run by ctest as well.
#include "forms/start_failure.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace {

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
    {"no_display_variable",
     "could not connect to display \nCould not load the Qt platform plugin \"xcb\" in \"\" even "
     "though it was found.\n",
     kNoPluginFatal, std::nullopt, std::nullopt,
     "no display is reachable (DISPLAY is not set; platform \"xcb\")"},
    {"display_that_does_not_answer",
     "could not connect to display :42\nCould not load the Qt platform plugin \"xcb\" in \"\" "
     "even though it was found.\n",
     kNoPluginFatal, "xcb", ":42",
     R"(no display is reachable (the display ":42" does not answer; platform "xcb"))"},
    {"unknown_platform", "Could not find the Qt platform plugin \"nonesuch\" in \"\"\n",
     kNoPluginFatal, "nonesuch", std::nullopt,
     "no usable platform plugin: \"nonesuch\" is not installed (installed: eglfs, linuxfb, "
     "minimal, offscreen, vnc, xcb)"},
    {"unknown_platform_and_no_list", "Could not find the Qt platform plugin \"nonesuch\" in \"\"\n",
     "This application failed to start because no Qt platform plugin could be initialized.\n",
     "nonesuch", ":0", "no usable platform plugin: \"nonesuch\" is not installed"},
    {"platform_that_fails_to_start",
     "Could not load the Qt platform plugin \"eglfs\" in \"\" even though it was found.\n",
     kNoPluginFatal, "eglfs", std::nullopt,
     "no usable platform plugin: \"eglfs\" is installed but could not start"},
    {"cause_not_known", "", "Something else went wrong.\nDetails.\n", std::nullopt, std::nullopt,
     "Something else went wrong."},
    {"nothing_said", "", "", std::nullopt, std::nullopt, "the toolkit gave no reason"},
});

void PrintTo(const StartCase &c, std::ostream *out)
{
    *out << c.label;
}

class StartFailureLine : public ::testing::TestWithParam<StartCase> { };

TEST_P(StartFailureLine, SaysPlainlyWhatIsWrong)
{
    const StartCase &c = GetParam();
    const std::string said = forms::describeStartFailure({
        .heldMessages = c.held,
        .fatalMessage = c.fatal,
        .requestedPlatform = c.platform,
        .display = c.display,
    });
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(said.find('\n'), std::string::npos) << "one line";
}

INSTANTIATE_TEST_SUITE_P(QtMessages, StartFailureLine, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
