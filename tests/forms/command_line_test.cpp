// SPDX-License-Identifier: MIT
// The command line's reading: where a toolkit option's value ends, which argument decides, and
// what is refused. The real program's answers are checked in tests/reliability (icatlas.options).
#include "forms/core/command_line.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using forms::CommandAction;
using forms::OptionValue;
using forms::ToolkitOption;
using testing_support::byLabel;

constexpr auto kToolkit = std::to_array<ToolkitOption>({
    {"-platform", OptionValue::Next},
    {"-style", OptionValue::NextOrJoined},
    {"-reverse", OptionValue::None},
});

struct LineCase {
    const char *label;
    std::vector<std::string_view> arguments;
    CommandAction action;
    const char *refusal; // the whole reason, when refused
};

const auto kLines = std::to_array<LineCase>({
    {"nothing_runs", {}, CommandAction::Run, ""},
    {"toolkit_options_run",
     {"-platform", "xcb", "-reverse", "-style=Fusion"},
     CommandAction::Run,
     ""},
    {"toolkit_option_with_two_dashes", {"--style", "Fusion"}, CommandAction::Run, ""},
    {"value_that_looks_like_help_is_a_value", {"-platform", "--help"}, CommandAction::Run, ""},
    {"help_after_toolkit_option", {"-reverse", "--help"}, CommandAction::ShowHelp, ""},
    {"version_before_anything_unknown", {"-v", "--bogus"}, CommandAction::ShowVersion, ""},
    {"joined_value_where_none_is_taken",
     {"-platform=xcb"},
     CommandAction::Refuse,
     "unknown option '-platform=xcb'"},
    {"flag_given_a_value", {"-reverse=1"}, CommandAction::Refuse, "unknown option '-reverse=1'"},
    {"lone_dash", {"-"}, CommandAction::Refuse, "unexpected argument '-'"},
    {"argument_after_double_dash",
     {"--", "--help"},
     CommandAction::Refuse,
     "unexpected argument '--help'"},
    {"trailing_double_dash", {"-reverse", "--"}, CommandAction::Run, ""},
    {"unknown_option_echoed_escaped",
     {"--x\x1b[31m\nicatlas: all good"},
     CommandAction::Refuse,
     R"(unknown option '--x\x1b[31m\nicatlas: all good')"},
});

class CommandLineReading : public ::testing::TestWithParam<LineCase> { };

TEST_P(CommandLineReading, DecidesByTheFirstArgumentThatIsNotTheToolkits)
{
    const LineCase &line = GetParam();
    const forms::CommandLine result = forms::parseCommandLine(line.arguments, kToolkit);
    EXPECT_EQ(result.action, line.action);
    EXPECT_EQ(result.refusal, line.refusal);
}

INSTANTIATE_TEST_SUITE_P(Forms, CommandLineReading, ::testing::ValuesIn(kLines), byLabel);

// The value the toolkit goes by, which the start's messages name (the display of -display, not
// DISPLAY's).
struct ValueCase {
    const char *label;
    std::vector<std::string_view> arguments;
    std::optional<std::string_view> platform;
};

const auto kValues = std::to_array<ValueCase>({
    {"not_given", {"-reverse", "-style", "Fusion"}, std::nullopt},
    {"given_after_a_flag", {"-reverse", "-platform", "xcb"}, "xcb"},
    {"given_with_two_dashes", {"--platform", "wayland"}, "wayland"},
    {"the_last_of_two", {"-platform", "a", "-style=Fusion", "-platform", "b"}, "b"},
    {"a_value_that_looks_like_an_option", {"-platform", "-reverse"}, "-reverse"},
});

class ToolkitValue : public ::testing::TestWithParam<ValueCase> { };

TEST_P(ToolkitValue, IsTheOneTheToolkitTakes)
{
    const ValueCase &line = GetParam();
    const forms::CommandLine result = forms::parseCommandLine(line.arguments, kToolkit);
    EXPECT_EQ(result.toolkitValue("-platform"), line.platform);
}

INSTANTIATE_TEST_SUITE_P(Forms, ToolkitValue, ::testing::ValuesIn(kValues), byLabel);

} // namespace
