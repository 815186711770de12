// SPDX-License-Identifier: MIT
// The catalogue as its callers see it: look-ups by button and family, and the texts that are easy
// to get wrong (trailing blanks, the longest ones, models sharing parts), against records copied
// by hand. The table's shape (each button once, families together, text lengths, box names and
// titles) is checked where it is written, at compile time.
#include "catalogue/catalogue.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::ModelRecord;
using icatlas::PlatformFamily;

struct FullRecordCase {
    const char *label;
    std::string_view button;
    std::array<std::string_view, 16> boxes;
};

// Whole records as a technician reads them off the window, Text1 to Text16.
const auto kFullRecords = std::to_array<FullRecordCase>({
    {"model_6310I_from_the_dct4_frame",
     "Command31",
     {"6310I", "PF08125B", "", "", "", "MJOELNER", "", "4370805", "", "4370815", "", "N643HT7MI",
      "", "@UPP", "", ""}},
    {"model_3210_with_trailing_blanks",
     "Command2",
     {"3210", "PF01420B ", "PF04110B", "BGY252", "BGY262", "CRFU3 ", "SUMMA", "CCONT ", "TEA1210TS",
      "", "", "F160B3TA", "M28W160BT", "HY62U8100B", "KM68U1000ELTGI", "KM68FS1000TGI"}},
    {"model_5110_with_the_longest_text",
     "Command6",
     {"5110", "BGY251", "BGY240", "4370319", "", "CRFU1", "PLUSSA", "NMP4370047", "", "", "",
      "TE28F800B3TA", "", "KM68U512ALTGE (512kbit)", "", ""}},
    {"model_6150_fills_every_pa_box",
     "Command10",
     {"6150", "4370451", "4370453", "4370577", "4370453", "CRFU3E(4370407)", "SUMMA", "NMP4370391",
      "", "", "", "TE28F160B3TA(Intel)", "LH28F160BGHE(SHARP)", "KM68FS1000TGI", "", ""}},
    {"model_3600_opens_the_wd2_frame",
     "Command25",
     {"3600", "RF3132", "", "", "", "MJOELNER", "", "4370825", "", "4370943", "", "3x N643HT7MI",
      "", "K4S64163JF (4M x16)", "", ""}},
    {"model_7650_last_button",
     "Command42",
     {"7650", "4350297 ", "(RF9203)", "", "", "HAGAR", "", "4370825", "", "4370871", "",
      "AM29N323D (2M x16)", "F128W18T (8M x16)", "K4S64163JF (4M x16)", "", ""}},
    {"model_6230_question_marks_and_ampersand",
     "Command29",
     {"6230", "4359017", "", "", "", "HELGO", "", "4370945", "4376371", "4375107", "",
      "K8S2815ETA(8Mx16)", "&?(4Mx16)", "K4M64163PG(4Mx16)", "", ""}},
});

class FullRecord : public ::testing::TestWithParam<FullRecordCase> { };

TEST_P(FullRecord, ButtonYieldsTheSixteenBoxTextsExactly)
{
    const ModelRecord *record = ComponentCatalogue::findByButton(GetParam().button);
    ASSERT_NE(record, nullptr);
    const auto texts = record->boxTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i], GetParam().boxes[i]) << "Text" << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, FullRecord, ::testing::ValuesIn(kFullRecords),
                         [](const auto &info) { return std::string(info.param.label); });

// Every text that ends in a blank, with the box it stands in.
TEST(Catalogue, TrailingBlanksAreKeptWhereverTheyStand)
{
    std::multiset<std::string> found;
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        for (const std::string_view text : record.slots) {
            if (!text.empty() && text.back() == ' ') {
                found.emplace(text);
            }
        }
    }
    const std::multiset<std::string> expected {"PF01420B ", "CRFU3 ", "CRFU3 ",    "CCONT ",
                                               "CRFU1 ",    "CRFU1 ", "F320B3TC ", "4350297 "};
    EXPECT_EQ(found, expected);

    const ModelRecord *record = ComponentCatalogue::findByButton("Command2");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->boxTexts()[7].size(), 6U) << "\"CCONT \" keeps its blank";
    // The same part stands without the blank elsewhere.
    EXPECT_EQ(ComponentCatalogue::findByButton("Command1")->boxTexts()[7], "CCONT");
}

TEST(Catalogue, LongestTextsAreReturnedWhole)
{
    std::size_t longest = 0;
    std::vector<std::string_view> longestTexts;
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        for (const std::string_view text : record.boxTexts()) {
            if (text.size() > longest) {
                longest = text.size();
                longestTexts.clear();
            }
            if (text.size() == longest) {
                longestTexts.push_back(text);
            }
        }
    }
    EXPECT_EQ(longest, 23U);
    EXPECT_EQ(longestTexts, std::vector<std::string_view> {"KM68U512ALTGE (512kbit)"});
}

struct TwinCase {
    const char *label;
    std::string_view first;
    std::string_view second;
};

const auto kTwins = std::to_array<TwinCase>({
    {"m1100_and_2300", "1100", "2300"},
    {"m3650_and_3660", "3650", "3660"},
    {"m6610_and_7210", "6610", "7210"},
});

class TwinModels : public ::testing::TestWithParam<TwinCase> { };

TEST_P(TwinModels, DifferOnlyInTheModelText)
{
    const ModelRecord *first = ComponentCatalogue::findByModel(GetParam().first);
    const ModelRecord *second = ComponentCatalogue::findByModel(GetParam().second);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first->button, second->button) << "each model keeps its own button";
    const auto a = first->boxTexts();
    const auto b = second->boxTexts();
    EXPECT_NE(a[0], b[0]);
    EXPECT_TRUE(std::equal(a.begin() + 1, a.end(), b.begin() + 1));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, TwinModels, ::testing::ValuesIn(kTwins),
                         [](const auto &info) { return std::string(info.param.label); });

class NoSuchButton : public ::testing::TestWithParam<std::string_view> { };

TEST_P(NoSuchButton, LookUpSaysThereIsNone)
{
    EXPECT_EQ(ComponentCatalogue::findByButton(GetParam()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, NoSuchButton,
                         ::testing::Values("", "Command0", "Command43", "command1", "Command01",
                                           "Command1 ", "Text1", "Frame1", "6310I"),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

struct FamilyCase {
    const char *label;
    PlatformFamily family;
    std::vector<std::string_view> models;
};

// Button captions as they stand in each frame: upper row left to right, then the lower row.
const auto kFamilyOrder = std::to_array<FamilyCase>({
    {"dct3",
     PlatformFamily::DCT3,
     {"2100", "3210", "3310", "3330", "3410", "5110", "5210", "5510", "6110", "6150", "6210",
      "7110", "8210", "8250", "8810", "8850", "8890"}},
    {"dct4", PlatformFamily::DCT4, {"1100", "2300", "3100", "3200", "3220", "3510",  "3510I",
                                    "5100", "6100", "6220", "6230", "6310", "6310I", "6510",
                                    "6610", "7210", "7250", "8310", "8910", "8910I"}},
    {"wd2", PlatformFamily::WD2, {"3600", "3650", "3660", "6600", "7650"}},
});

class FamilyOrder : public ::testing::TestWithParam<FamilyCase> { };

TEST_P(FamilyOrder, RecordsComeInWindowOrder)
{
    std::vector<std::string_view> models;
    for (const ModelRecord &record : ComponentCatalogue::family(GetParam().family)) {
        EXPECT_EQ(record.family, GetParam().family);
        models.push_back(record.model);
    }
    EXPECT_EQ(models, GetParam().models);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, FamilyOrder, ::testing::ValuesIn(kFamilyOrder),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
