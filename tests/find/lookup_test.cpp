// SPDX-License-Identifier: MIT
// Finding parts as a technician types them: the loose spellings that must still match, the ones
// that must not, parts standing in several boxes, and how hits and records read on the terminal.
#include "find/lookup.hpp"

#include "tests/find/text_lines.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using find_testing::lines;

using icatlas::ComponentCatalogue;
using icatlas::kComponentSlots;
using icatlas::ModelRecord;
using icatlas::PlatformFamily;
using icatlas::find::findFamily;
using icatlas::find::findModel;
using icatlas::find::findPart;
using icatlas::find::Hit;
using icatlas::find::PartKey;
using icatlas::find::slotLabel;

// Hits as "model label", the way a reader checks them against the window.
std::vector<std::string> describe(const std::vector<Hit> &hits)
{
    std::vector<std::string> described;
    described.reserve(hits.size());
    for (const Hit &hit : hits) {
        described.push_back(std::string(hit.record->model) + " "
                            + slotLabel(kComponentSlots.at(hit.slot)));
    }
    return described;
}

struct MatchCase {
    const char *label;
    std::string_view part;
    std::vector<std::string> hits;
};

// Every box holding N643HT7MI: plain, after '?', and after a count of chips.
const std::vector<std::string> kN643HT7MI {
    "6310 FLASH IC 2", "6310I FLASH IC 1", "6510 FLASH IC 2", "8310 FLASH IC 2",
    "8910 FLASH IC 2", "3600 FLASH IC 1",  "6600 FLASH IC 1",
};

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
    {"first_and_second_row_of_a_column", "4376371", {"3220 POWER IC 1", "6230 POWER IC 2"}},
    {"start_of_parts_in_two_columns",
     "43709",
     {"3100 UPP 1", "3200 POWER IC 1", "3510I UPP 2", "6220 POWER IC 1", "6230 POWER IC 1",
      "7250 UPP 2", "3600 UPP 1", "6600 UPP 1"}},
    {"count_is_not_part_of_stored_text", "XN643HT7MI", {}},
    {"count_without_blank_is_kept_in_query", "3xN643HT7MI", {}},
    {"unknown_part", "ZZZ999", {}},
    {"one_character_off", "N643HT7MJ", {}},
};

class PartMatching : public ::testing::TestWithParam<MatchCase> { };

TEST_P(PartMatching, FindsExactlyTheseBoxesInWindowOrder)
{
    const std::optional<PartKey> key = PartKey::from(GetParam().part);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(describe(findPart(*key)), GetParam().hits);
}

INSTANTIATE_TEST_SUITE_P(Find, PartMatching, ::testing::ValuesIn(kMatchCases),
                         [](const auto &info) { return std::string(info.param.label); });

struct EmptyPartCase {
    const char *label;
    std::string_view part;
};

const auto kEmptyParts = std::to_array<EmptyPartCase>({
    {"nothing", ""},
    {"blanks", "   "},
    {"question_marks", "??"},
    {"dash", "-"},
    {"mixed_ignored_characters", " ?-\t"},
    {"line_end", "\r\n"},
    {"count_alone", "3x "},
    {"count_without_blank", "3x"},
    {"count_after_question_mark", "? 2X "},
});

class EmptyPart : public ::testing::TestWithParam<EmptyPartCase> { };

// Such a key would be found in every box; the caller must be told there is nothing to look for.
TEST_P(EmptyPart, GivesNoKey)
{
    EXPECT_FALSE(PartKey::from(GetParam().part).has_value());
}

INSTANTIATE_TEST_SUITE_P(Find, EmptyPart, ::testing::ValuesIn(kEmptyParts),
                         [](const auto &info) { return std::string(info.param.label); });

struct ModelNameCase {
    const char *label;
    std::string_view typed;
    const char *model; // nullptr: no such model
};

const auto kModelNames = std::to_array<ModelNameCase>({
    {"as_stored", "6310I", "6310I"},
    {"lower_case", "6310i", "6310I"},
    {"surrounding_blanks", " 6310i ", "6310I"},
    {"carriage_return_after", "6310I\r", "6310I"},
    {"tab_before", "\t6310I", "6310I"},
    {"without_suffix_is_another_model", "6310", "6310"},
    {"first_in_window", "2100", "2100"},
    {"last_in_window", "7650", "7650"},
    {"prefix_only", "631", nullptr},
    {"longer", "6310II", nullptr},
    {"empty", "", nullptr},
    {"button_is_not_a_model", "Command31", nullptr},
});

class ModelByName : public ::testing::TestWithParam<ModelNameCase> { };

TEST_P(ModelByName, FindsTheRecordOrSaysThereIsNone)
{
    const ModelRecord *record = findModel(GetParam().typed);
    if (GetParam().model == nullptr) {
        EXPECT_EQ(record, nullptr);
    } else {
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record, ComponentCatalogue::findByModel(GetParam().model));
    }
}

INSTANTIATE_TEST_SUITE_P(Find, ModelByName, ::testing::ValuesIn(kModelNames),
                         [](const auto &info) { return std::string(info.param.label); });

struct FamilyNameCase {
    const char *label;
    std::string_view typed;
    std::optional<PlatformFamily> family;
};

const auto kFamilyNames = std::to_array<FamilyNameCase>({
    {"dct3", "DCT3", PlatformFamily::DCT3},
    {"dct4_lower_case", "dct4", PlatformFamily::DCT4},
    {"wd2_mixed_case", "Wd2", PlatformFamily::WD2},
    {"line_end_after", "DCT3\r\n", PlatformFamily::DCT3},
    {"unknown_generation", "DCT5", std::nullopt},
    {"frame_caption", "NOKIA DCT4 PHONE", std::nullopt},
    {"empty", "", std::nullopt},
});

class FamilyByName : public ::testing::TestWithParam<FamilyNameCase> { };

TEST_P(FamilyByName, FindsTheFamilyOrSaysThereIsNone)
{
    EXPECT_EQ(findFamily(GetParam().typed), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(Find, FamilyByName, ::testing::ValuesIn(kFamilyNames),
                         [](const auto &info) { return std::string(info.param.label); });

struct HitsTextCase {
    const char *label;
    std::string_view part;
    const char *text;
};

const auto kHitsTexts = std::to_array<HitsTextCase>({
    {"two_models", "4376371",
     "4376371: 2 places in 2 models\n"
     "  3220   DCT4  POWER IC 1  4376371\n"
     "  6230   DCT4  POWER IC 2  4376371\n"},
    {"two_boxes_of_one_model", "4370453",
     "4370453: 2 places in 1 model\n"
     "  6150   DCT3  PA IC 2     4370453\n"
     "  6150   DCT3  PA IC 4     4370453\n"},
    {"shown_as_typed_and_as_stored", "qcpm-8893",
     "qcpm-8893: 2 places in 2 models\n"
     "  3100   DCT4  PA IC 1     QCPM-8893\n"
     "  6100   DCT4  PA IC 1     QCPM-8893\n"},
    {"one_place_widest_label", "4x M58NR064ET",
     "4x M58NR064ET: 1 place in 1 model\n"
     "  6600   WD2   FLASH IC 2  4x M58NR064ET (4Mx16)\n"},
    {"no_match", "ZZZ999", "ZZZ999: no match\n"},
});

class HitsText : public ::testing::TestWithParam<HitsTextCase> { };

TEST_P(HitsText, ReadsAsOneHeadingThenOneLinePerBox)
{
    const auto key = PartKey::from(GetParam().part);
    ASSERT_TRUE(key.has_value());
    std::ostringstream out;
    icatlas::find::writeHits(out, GetParam().part, findPart(*key));
    EXPECT_EQ(out.str(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Find, HitsText, ::testing::ValuesIn(kHitsTexts),
                         [](const auto &info) { return std::string(info.param.label); });

class ModelText : public ::testing::TestWithParam<ModelRecord> { };

// Each line is the heading with its row, then the text as stored or "(blank)".
TEST_P(ModelText, ShowsEveryBoxWithItsHeading)
{
    const ModelRecord &record = GetParam();
    std::ostringstream out;
    icatlas::find::writeModel(out, record);
    const auto shown = lines(out.str());
    ASSERT_EQ(shown.size(), 16U);
    EXPECT_EQ(shown[0], "Phone Model  " + std::string(record.model));
    for (std::size_t i = 0; i < kComponentSlots.size(); ++i) {
        std::string expected = slotLabel(kComponentSlots.at(i));
        expected.resize(13, ' ');
        expected += record.slots.at(i).empty() ? "(blank)" : std::string(record.slots.at(i));
        EXPECT_EQ(shown[i + 1], expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Find, ModelText, ::testing::ValuesIn(ComponentCatalogue::records()),
                         [](const auto &info) { return std::string(info.param.model); });

struct LabelCase {
    const char *label;
    std::string_view box;
    const char *expected;
};

const auto kLabels = std::to_array<LabelCase>({
    {"first_pa", "Text2", "PA IC 1"},
    {"last_pa", "Text5", "PA IC 4"},
    {"second_rf", "Text7", "RF IC 2"},
    {"first_power", "Text8", "POWER IC 1"},
    {"second_upp", "Text11", "UPP 2"},
    {"first_flash", "Text12", "FLASH IC 1"},
    {"last_ram", "Text16", "RAM IC 3"},
});

class SlotLabel : public ::testing::TestWithParam<LabelCase> { };

TEST_P(SlotLabel, NamesHeadingAndRowCountedFromOne)
{
    const auto *slot = std::find_if(kComponentSlots.begin(), kComponentSlots.end(),
                                    [](const auto &s) { return s.box == GetParam().box; });
    ASSERT_NE(slot, kComponentSlots.end());
    EXPECT_EQ(slotLabel(*slot), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Find, SlotLabel, ::testing::ValuesIn(kLabels),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
