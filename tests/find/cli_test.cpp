// SPDX-License-Identifier: MIT
// icatlas-find's arguments as a script sees them: exit status, what reaches the output (the hits
// and a model as they read on a terminal), and the one-line message of every usage error.
#include "find/cli.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::byLabel;

// What was written, line by line.
std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Whatever the arguments hold, what is written shows control characters (but the tab-separated
// export's tabs) and invisible ones as escapes, so each message stays one line and no argument can
// write a terminal escape or a line that looks like a result.
Outcome runWith(const std::vector<std::string_view> &args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = icatlas::find::run(args, out, err);
    for (const std::string &written : {out.str(), err.str()}) {
        EXPECT_TRUE(std::none_of(written.begin(), written.end(), [](char ch) {
            const auto byte = static_cast<unsigned char>(ch);
            return (byte < 0x20 && ch != '\n' && ch != '\t') || byte == 0x7F || byte == 0xFF;
        })) << written;
        for (const std::string_view invisible :
             {"\u00a0", "\u00ad", "\u202e", "\u2066", "\ufeff"}) {
            EXPECT_EQ(written.find(invisible), std::string::npos) << written;
        }
    }
    return {status, out.str(), err.str()};
}

struct UsageErrorCase {
    const char *label;
    std::vector<std::string_view> args;
    const char *message; // the part of the message that names the fault
};

const std::vector<UsageErrorCase> kUsageErrors {
    {"no_arguments", {}, "no part number given"},
    {"only_option_end", {"--"}, "no part number given"},
    {"unknown_long_option", {"--bogus"}, "unknown option '--bogus'"},
    {"unknown_short_option", {"-x"}, "unknown option '-x'"},
    {"unknown_option_after_part", {"4370825", "--verbose"}, "unknown option '--verbose'"},
    {"option_name_is_case_sensitive", {"--LIST"}, "unknown option '--LIST'"},
    {"unknown_model", {"--model", "9999"}, "unknown model '9999'"},
    {"unknown_model_after_equals", {"--model=6310X"}, "unknown model '6310X'"},
    {"unknown_family", {"--family", "DCT5"}, "unknown family 'DCT5'"},
    {"model_without_value", {"--model"}, "--model needs a value"},
    {"family_without_value", {"--family"}, "--family needs a value"},
    {"value_for_flag", {"--list=all"}, "--list takes no value"},
    {"two_exports", {"--json", "--csv"}, "--json and --csv cannot be used together"},
    {"export_twice", {"--tsv", "4370825", "--tsv"}, "--tsv given twice"},
    {"export_of_a_model",
     {"--json", "--model", "6310"},
     "--json and --model cannot be used together"},
    {"model_then_export", {"--list", "--csv"}, "--list and --csv cannot be used together"},
    {"model_near_a_known_one", {"--model", "6301"}, "unknown model '6301'; did you mean 6310?"},
    {"part_given_as_model",
     {"--model", "4370825"},
     "unknown model '4370825'; 4370825 is a part: icatlas-find 4370825"},
    {"model_and_family", {"--model", "6310I", "--family", "DCT4"}, "cannot be used together"},
    {"same_option_twice", {"--model", "6310I", "--model", "6310"}, "--model given twice"},
    {"list_with_part", {"--list", "4370825"}, "--list takes no part numbers"},
    {"model_with_part", {"4370825", "--model", "6310I"}, "--model takes no part numbers"},
    {"part_of_question_marks", {"?\?"}, "'?\?' holds no part number"},
    {"part_that_is_a_count", {"3x "}, "'3x ' holds no part number"},
    {"lone_dash", {"-"}, "'-' holds no part number"},
    {"empty_part_among_good_ones", {"4370825", "", "N643HT7MI"}, "'' holds no part number"},
    {"forged_message_in_option",
     {"--bogus\nicatlas-find: all good"},
     R"(icatlas-find: unknown option '--bogus\nicatlas-find: all good' (try --help))"},
    {"terminal_title_escape_as_model",
     {"--model", "\x1b]0;pwned\a"},
     R"(icatlas-find: unknown model '\x1b]0;pwned\x07' (try --list))"},
    {"tag_character_beyond_the_first_plane",
     {"--family", "DCT\U000E0034"},
     R"(unknown family 'DCT\U000e0034'; the families are DCT3, DCT4 and WD2)"},
    {"unknown_family_with_bell", {"--family", "DCT\a"}, R"(unknown family 'DCT\x07')"},
};

class UsageError : public ::testing::TestWithParam<UsageErrorCase> { };

// Nothing reaches the output, so a script never reads half an answer.
TEST_P(UsageError, ExitsTwoWithOneLineOnStandardError)
{
    const Outcome outcome = runWith(GetParam().args);
    EXPECT_EQ(outcome.status, icatlas::find::kExitUsageError);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("icatlas-find: ", 0), 0U) << outcome.err;
    EXPECT_NE(outcome.err.find(GetParam().message), std::string::npos) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_EQ(outcome.err.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(Run, UsageError, ::testing::ValuesIn(kUsageErrors), byLabel);

struct AnswerCase {
    const char *label;
    std::vector<std::string_view> args;
    int status;
    const char *firstLine;
    const char *err = ""; // a part that found nothing: one line saying what it may have meant
};

// The exports' whole texts are read back where they are written, the hits' lines where several
// parts answer in turn, the listings where they are listed. A hint goes to the standard error
// beside the answer, or nothing when no guess is near.
const std::vector<AnswerCase> kAnswers {
    {"no_part_found", {"ZZZ999", "QQQ888"}, 1, "ZZZ999: no match"},
    {"part_after_option_end", {"--", "-4376371"}, 0, "-4376371: 2 places in 2 models"},
    {"model_lower_case_after_equals", {"--model=6310i"}, 0, "Phone Model       6310I"},
    {"help", {"--help"}, 0, "Usage: icatlas-find [--json | --csv | --tsv] PART..."},
    {"short_help", {"-h"}, 0, "Usage: icatlas-find [--json | --csv | --tsv] PART..."},
    {"version", {"--version"}, 0, "icatlas-find " ICATLAS_EXPECTED_VERSION},
    {"model_typed_as_part",
     {"6310"},
     1,
     "6310: no match",
     "6310 is a model: icatlas-find --model 6310\n"},
    {"model_with_maker_typed_as_part",
     {"Nokia 6310i"},
     1,
     "Nokia 6310i: no match",
     "Nokia 6310i is a model: icatlas-find --model 6310I\n"},
    {"digits_swapped", {"4370852"}, 1, "4370852: no match", "4370852: did you mean 4370825?\n"},
    {"two_parts_equally_near",
     {"HELGE"},
     1,
     "HELGE: no match",
     "HELGE: did you mean HELGO or HELGA?\n"},
    {"model_near", {"6301"}, 1, "6301: no match", "6301: did you mean --model 6310?\n"},
    {"only_for_the_part_not_found",
     {"4376371", "4370852"},
     0,
     "4376371: 2 places in 2 models",
     "4370852: did you mean 4370825?\n"},
    {"with_an_export",
     {"--tsv", "6310"},
     1,
     "part\tmodel\tfamily\tbox\ttext\tbox_id\tbutton_id",
     "6310 is a model: icatlas-find --model 6310\n"},
    {"echo_escaped",
     {"MJOLNER\u202e"},
     1,
     "MJOLNER\\u202e: no match",
     "MJOLNER\\u202e: did you mean MJOELNER?\n"},
    {"forged_result_in_part",
     {"zz\n4370825: 15 places in 15 models"},
     1,
     R"(zz\n4370825: 15 places in 15 models: no match)"},
    {"found_part_with_windows_line_end", {"4376371\r"}, 0, R"(4376371\r: 2 places in 2 models)"},
    {"c1_control_and_stray_byte", {"Z\xc2\x9b\xff"}, 1, R"(Z\u009b\xff: no match)"},
    {"backslash_is_doubled", {"Z\\x1b"}, 1, R"(Z\\x1b: no match)"},
    {"byte_order_mark_and_no_break_space_found",
     {"\ufeff4376371\u00a0"},
     0,
     R"(\ufeff4376371\u00a0: 2 places in 2 models)"},
    {"soft_hyphen_found", {"N643\u00adHT7MI"}, 0, R"(N643\u00adHT7MI: 7 places in 7 models)"},
    {"direction_override_and_isolate",
     {"ZZ\u202eKCAP\u2066"},
     1,
     R"(ZZ\u202eKCAP\u2066: no match)"},
};

class Answer : public ::testing::TestWithParam<AnswerCase> { };

TEST_P(Answer, ExitsWithStatusAndWritesTheAnswerToOutputAndAHintToError)
{
    const Outcome outcome = runWith(GetParam().args);
    EXPECT_EQ(outcome.status, GetParam().status);
    EXPECT_EQ(outcome.err, GetParam().err);
    const auto shown = lines(outcome.out);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), GetParam().firstLine);
    EXPECT_EQ(outcome.out.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(Run, Answer, ::testing::ValuesIn(kAnswers), byLabel);

// Whole answers as they read on a terminal. Each part gets its own block, in the order typed, a
// blank line apart; one part found is enough. A block is one heading, the part as typed, then a
// line per box in columns as wide as the catalogue needs, each text as stored (a trailing blank
// kept). A model is every box under its title, the titles in one column, blanks said.
TEST(Run, WholeAnswersReadAsOnATerminal)
{
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> answers {
        {{"ZZZ999", "4376371", "4370453", "qcpm-8893", "4350297 "},
         "ZZZ999: no match\n"
         "\n"
         "4376371: 2 places in 2 models\n"
         "  3220   DCT4  POWER IC (UEM) 1  4376371\n"
         "  6230   DCT4  POWER IC (UEM) 2  4376371\n"
         "\n"
         "4370453: 2 places in 1 model\n"
         "  6150   DCT3  PA IC 2           4370453\n"
         "  6150   DCT3  PA IC 4           4370453\n"
         "\n"
         "qcpm-8893: 2 places in 2 models\n"
         "  3100   DCT4  PA IC 1           QCPM-8893\n"
         "  6100   DCT4  PA IC 1           QCPM-8893\n"
         "\n"
         "4350297 : 6 places in 6 models\n"
         "  6310   DCT4  PA IC 1           4350297\n"
         "  6510   DCT4  PA IC 1           4350297\n"
         "  8310   DCT4  PA IC 1           4350297\n"
         "  8910   DCT4  PA IC 1           4350297\n"
         "  8910I  DCT4  PA IC 1           4350297\n"
         "  7650   WD2   PA IC 1           4350297 \n"},
        {{"--model", "3210"},
         "Phone Model       3210\n"
         "PA IC 1           PF01420B \n"
         "PA IC 2           PF04110B\n"
         "PA IC 3           BGY252\n"
         "PA IC 4           BGY262\n"
         "RF IC 1           CRFU3 \n"
         "RF IC 2           SUMMA\n"
         "POWER IC (UEM) 1  CCONT \n"
         "POWER IC (UEM) 2  TEA1210TS\n"
         "UPP 1             (blank)\n"
         "UPP 2             (blank)\n"
         "FLASH IC 1        F160B3TA\n"
         "FLASH IC 2        M28W160BT\n"
         "RAM IC 1          HY62U8100B\n"
         "RAM IC 2          KM68U1000ELTGI\n"
         "RAM IC 3          KM68FS1000TGI\n"},
    };
    for (const auto &[args, out] : answers) {
        const Outcome outcome = runWith(args);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.out, out);
    }
}

// Each family's models as their buttons stand in its frame: upper row left to right, then the
// lower row.
struct Family {
    std::string_view name;
    std::vector<std::string_view> models;
};

const auto kFamilies = std::to_array<Family>({
    {"DCT3",
     {"2100", "3210", "3310", "3330", "3410", "5110", "5210", "5510", "6110", "6150", "6210",
      "7110", "8210", "8250", "8810", "8850", "8890"}},
    {"DCT4", {"1100", "2300", "3100",  "3200", "3220", "3510", "3510I", "5100", "6100", "6220",
              "6230", "6310", "6310I", "6510", "6610", "7210", "7250",  "8310", "8910", "8910I"}},
    {"WD2", {"3600", "3650", "3660", "6600", "7650"}},
});

// The lines --list and --family print for these families: each model, padded, then its family.
std::vector<std::string> listed(std::span<const Family> families)
{
    std::vector<std::string> result;
    for (const Family &family : families) {
        for (const std::string_view model : family.models) {
            std::string line(model);
            line.resize(7, ' ');
            result.push_back(line + std::string(family.name));
        }
    }
    return result;
}

struct ListingCase {
    const char *label;
    std::vector<std::string_view> args;
    std::span<const Family> families;
};

const std::vector<ListingCase> kListings {
    {"list", {"--list"}, kFamilies},
    {"dct3", {"--family", "DCT3"}, std::span(kFamilies).first(1)},
    {"dct4", {"--family", "DCT4"}, std::span(kFamilies).subspan(1, 1)},
    {"wd2_lower_case", {"--family", "wd2"}, std::span(kFamilies).last(1)},
};

class Listing : public ::testing::TestWithParam<ListingCase> { };

TEST_P(Listing, ShowsTheModelsInWindowOrder)
{
    const ListingCase &c = GetParam();
    const Outcome outcome = runWith(c.args);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(lines(outcome.out), listed(c.families));
}

INSTANTIATE_TEST_SUITE_P(Run, Listing, ::testing::ValuesIn(kListings), byLabel);

// Every model a user can list is one --model shows.
TEST(Run, EveryListedModelCanBeShown)
{
    for (const Family &family : kFamilies) {
        for (const std::string_view model : family.models) {
            const Outcome outcome = runWith({"--model", model});
            EXPECT_EQ(outcome.status, 0) << model;
            EXPECT_EQ(lines(outcome.out).size(), 16U) << model;
        }
    }
}

} // namespace
