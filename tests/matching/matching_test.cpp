// SPDX-License-Identifier: MIT
// Finding parts as a technician types them: the loose spellings that must still match (pasted
// ones with invisible characters among them), the ones that must not, parts standing in several
// boxes, models and families by name, and the nearest parts to a typing error.
#include "matching/matching.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace {

using icatlas::ModelRecord;
using icatlas::PlatformFamily;
using icatlas::matching::findFamily;
using icatlas::matching::findModel;
using icatlas::matching::findPart;
using icatlas::matching::Hit;
using icatlas::matching::PartKey;
using testing_support::byLabel;

// Hits as "model label", the way a reader checks them against the window.
std::vector<std::string> describe(const std::vector<Hit> &hits)
{
    std::vector<std::string> described;
    described.reserve(hits.size());
    for (const Hit &hit : hits) {
        described.push_back(std::string(hit.record->model) + " "
                            + std::string(icatlas::kBoxTitles.at(hit.slot + 1)));
    }
    return described;
}

struct MatchCase {
    const char *label;
    std::string_view part;
    std::vector<std::string> hits;
    // False: no key at all, as it would be found in every box; the caller must be told there is
    // nothing to look for.
    bool key = true;
};

// Every box holding N643HT7MI: plain, after '?', and after a count of chips.
const std::vector<std::string> kN643HT7MI {
    "6310 FLASH IC 2", "6310I FLASH IC 1", "6510 FLASH IC 2", "8310 FLASH IC 2",
    "8910 FLASH IC 2", "3600 FLASH IC 1",  "6600 FLASH IC 1",
};

constexpr bool kNoKey = false;

const std::vector<MatchCase> kMatchCases {
    {"exact_text_also_found_behind_question_mark_and_count", "N643HT7MI", kN643HT7MI},
    {"lower_case", "n643ht7mi", kN643HT7MI},
    {"question_mark_in_query", "?N643HT7MI", kN643HT7MI},
    {"count_prefix_in_query", "3x N643HT7MI", kN643HT7MI},
    {"count_prefix_upper_case_x", "4X N643HT7MI", kN643HT7MI},
    {"dash_in_query", "N643-HT7MI", kN643HT7MI},
    {"blanks_around_query", "  N643HT7MI ", kN643HT7MI},
    {"line_end_of_a_windows_file", "N643HT7MI\r\n", kN643HT7MI},
    {"tab_and_other_white_space", "\tN643\vHT7MI\f", kN643HT7MI},
    {"count_followed_by_tab", "3x\tN643HT7MI", kN643HT7MI},
    // From files and web pages: what nobody sees must not stop a match.
    {"byte_order_mark_of_a_windows_file", "\ufeffN643HT7MI\r\n", kN643HT7MI},
    {"no_break_space_after", "N643HT7MI\u00a0", kN643HT7MI},
    {"count_followed_by_no_break_space", "3x\u00a0N643HT7MI", kN643HT7MI},
    {"ideographic_and_em_spaces_between", "N643\u3000HT7\u2003MI", kN643HT7MI},
    {"soft_hyphen_inside", "N643\u00adHT7MI", kN643HT7MI},
    {"zero_width_space_and_joiner_inside", "N6\u200b43HT\u200d7MI", kN643HT7MI},
    {"direction_marks_around", "\u202eN643HT7MI\u202c\u200f", kN643HT7MI},
    {"other_letters_are_not_ignored", "N643HT7M\u00cd", {}},
    {"similar_part_is_not_confused", "N643GT7MI", {"3650 FLASH IC 1", "3660 FLASH IC 1"}},
    {"dash_in_catalogue_left_out_of_query", "QCPM8893", {"3100 PA IC 1", "6100 PA IC 1"}},
    {"blanks_in_catalogue_left_out_of_query",
     "k4s64163jf(4mx16)",
     {"3600 RAM IC 1", "3650 RAM IC 1", "3660 RAM IC 1", "7650 RAM IC 1"}},
    {"question_mark_after_part_in_catalogue", "PF08133B", {"1100 PA IC 3", "2300 PA IC 3"}},
    {"question_mark_and_blank_before_part_in_catalogue",
     "M58MR016C",
     {"1100 FLASH IC 1", "2300 FLASH IC 1"}},
    {"inside_parentheses_of_longer_text", "4370407", {"6150 RF IC 1"}},
    {"inside_longer_text_and_behind_count",
     "F160B3TA",
     {"3210 FLASH IC 1", "3310 FLASH IC 1", "6150 FLASH IC 1", "7110 FLASH IC 1"}},
    {"behind_count_with_size_after", "M58NR064ET", {"6600 FLASH IC 2"}},
    {"trailing_blank_in_catalogue", "CRFU3", {"3210 RF IC 1", "6150 RF IC 1", "7110 RF IC 1"}},
    {"twice_in_one_record", "4370453", {"6150 PA IC 2", "6150 PA IC 4"}},
    {"first_and_second_row_of_a_column",
     "4376371",
     {"3220 POWER IC (UEM) 1", "6230 POWER IC (UEM) 2"}},
    {"start_of_parts_in_two_columns",
     "43709",
     {"3100 UPP 1", "3200 POWER IC (UEM) 1", "3510I UPP 2", "6220 POWER IC (UEM) 1",
      "6230 POWER IC (UEM) 1", "7250 UPP 2", "3600 UPP 1", "6600 UPP 1"}},
    {"count_is_not_part_of_stored_text", "XN643HT7MI", {}},
    {"count_without_blank_is_kept_in_query", "3xN643HT7MI", {}},
    {"unknown_part", "ZZZ999", {}},
    {"one_character_off", "N643HT7MJ", {}},
    {"nothing", "", {}, kNoKey},
    {"blanks", "   ", {}, kNoKey},
    {"question_marks", "??", {}, kNoKey},
    {"dash", "-", {}, kNoKey},
    {"mixed_ignored_characters", " ?-\t", {}, kNoKey},
    {"line_end", "\r\n", {}, kNoKey},
    {"count_alone", "3x ", {}, kNoKey},
    {"count_without_blank", "3x", {}, kNoKey},
    {"count_after_question_mark", "? 2X ", {}, kNoKey},
    {"byte_order_mark", "\ufeff", {}, kNoKey},
    {"invisible_characters_and_unicode_blanks", "\u00a0\u00ad\u200b\u3000", {}, kNoKey},
};

class PartMatching : public ::testing::TestWithParam<MatchCase> { };

TEST_P(PartMatching, FindsExactlyTheseBoxesInWindowOrder)
{
    const std::optional<PartKey> key = PartKey::from(GetParam().part);
    ASSERT_EQ(key.has_value(), GetParam().key);
    if (key) {
        EXPECT_EQ(describe(findPart(*key)), GetParam().hits);
    }
}

INSTANTIATE_TEST_SUITE_P(Matching, PartMatching, ::testing::ValuesIn(kMatchCases), byLabel);

struct ModelNameCase {
    const char *label;
    std::string_view typed;
    const char *model; // nullptr: no such model
};

const auto kModelNames = std::to_array<ModelNameCase>({
    {"as_stored", "6310I", "6310I"},
    {"lower_case", "6310i", "6310I"},
    {"without_suffix_is_another_model", "6310", "6310"},
    {"first_in_window", "2100", "2100"},
    {"last_in_window", "7650", "7650"},
    {"prefix_only", "631", nullptr},
    {"longer", "6310II", nullptr},
    {"empty", "", nullptr},
    {"button_is_not_a_model", "Command31", nullptr},
    {"maker_name_before", "Nokia 6310i", "6310I"},
    {"maker_name_without_blank", "NOKIA6310I", "6310I"},
    {"blank_before_suffix", "6310 i", "6310I"},
    {"pasted_with_byte_order_mark_and_no_break_space", "\ufeff6310\u00a0i", "6310I"},
    {"maker_name_alone", "Nokia", nullptr},
    {"maker_name_after", "6310i Nokia", nullptr},
});

class ModelByName : public ::testing::TestWithParam<ModelNameCase> { };

TEST_P(ModelByName, FindsTheRecordOrSaysThereIsNone)
{
    const ModelRecord *record = findModel(GetParam().typed);
    if (GetParam().model == nullptr) {
        EXPECT_EQ(record, nullptr);
    } else {
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->model, GetParam().model);
    }
}

INSTANTIATE_TEST_SUITE_P(Matching, ModelByName, ::testing::ValuesIn(kModelNames), byLabel);

struct FamilyNameCase {
    const char *label;
    std::string_view typed;
    std::optional<PlatformFamily> family;
};

const auto kFamilyNames = std::to_array<FamilyNameCase>({
    {"dct3", "DCT3", PlatformFamily::DCT3},
    {"dct4_lower_case", "dct4", PlatformFamily::DCT4},
    {"wd2_mixed_case", "Wd2", PlatformFamily::WD2},
    {"unknown_generation", "DCT5", std::nullopt},
    {"frame_caption", "NOKIA DCT4 PHONE", std::nullopt},
    {"empty", "", std::nullopt},
});

class FamilyByName : public ::testing::TestWithParam<FamilyNameCase> { };

TEST_P(FamilyByName, FindsTheFamilyOrSaysThereIsNone)
{
    EXPECT_EQ(findFamily(GetParam().typed), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(Matching, FamilyByName, ::testing::ValuesIn(kFamilyNames), byLabel);

struct NearestCase {
    const char *label;
    std::string_view typed;
    std::vector<std::string> suggested; // models as "--model 6310"
};

const std::vector<NearestCase> kNearest {
    {"letter_left_out", "MJOLNER", {"MJOELNER"}},
    {"letter_changed", "N643HT7MJ", {"N643HT7MI"}},
    {"inside_brackets", "437O407", {"4370407"}},
    {"part_of_a_count", "M58NR064EX", {"M58NR064ET"}},
    {"dash_as_stored", "QCPM8839", {"QCPM-8893"}},
    {"only_the_nearest_at_most_three", "4370000", {"4370407", "4377005", "4376001"}},
    {"two_edits_too_many_for_a_short_key", "HAGXY", {}},
    {"pointer_to_a_column_is_no_part", "@UPX", {}},
    {"nothing_near", "ZZZ999", {}},
};

class Nearest : public ::testing::TestWithParam<NearestCase> { };

TEST_P(Nearest, SuggestsTheClosestPartsAndModels)
{
    const std::optional<PartKey> key = PartKey::from(GetParam().typed);
    ASSERT_TRUE(key.has_value());
    std::vector<std::string> suggested;
    for (const icatlas::matching::Suggestion &s : icatlas::matching::nearest(*key)) {
        suggested.push_back((s.isModel ? "--model " : "") + std::string(s.text));
    }
    EXPECT_EQ(suggested, GetParam().suggested);
}

INSTANTIATE_TEST_SUITE_P(Matching, Nearest, ::testing::ValuesIn(kNearest), byLabel);

} // namespace
