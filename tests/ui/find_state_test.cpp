// SPDX-License-Identifier: MIT
// The find row's answers: what is marked, gone to and said for what a technician types, worked by
// hand from the catalogue's table, and for every text the catalogue holds the same models that
// icatlas-find lists.
#include "ui/find_state.hpp"

#include "find/cli.hpp"

#include "tests/support/labelled_rows.hpp"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::ModelRecord;
using icatlas::ui::FindState;
using testing_support::byLabel;

std::vector<std::string> models(const std::vector<const ModelRecord *> &records)
{
    std::vector<std::string> names;
    names.reserve(records.size());
    for (const ModelRecord *record : records) {
        names.emplace_back(record->model);
    }
    return names;
}

struct QueryCase {
    const char *label;
    std::string_view typed;
    std::string line;
    std::vector<std::string> marked;
};

const std::vector<QueryCase> kQueries {
    {"part_inside_brackets_in_one_model", "RF9205", "RF9205: 1 model: 8890", {"8890"}},
    {"miss_with_a_suggestion", "4370852", "4370852: no match; did you mean 4370825?", {}},
    {"miss_with_nothing_near", "ZZZZZZZZZ", "ZZZZZZZZZ: no match", {}},
    {"model_with_the_maker_named", "nokia 6310i", "nokia 6310i: model 6310I", {"6310I"}},
    {"nothing_but_marks", "?", "?: no part number", {}},
    {"control_character_echoed_as_icatlas_find_does", "zz\n", "zz\\n: no match", {}},
    {"blanks_only", "   ", "", {}},
    {"nothing_typed", "", "", {}},
};

class FindQuery : public testing::TestWithParam<QueryCase> { };

TEST_P(FindQuery, MarksAndSays)
{
    FindState state;
    state.setQuery(GetParam().typed);
    EXPECT_EQ(state.line(), GetParam().line);
    EXPECT_EQ(models(state.matches()), GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(Rows, FindQuery, testing::ValuesIn(kQueries), byLabel);

// The controls to mark, each with its description.
using Marks = std::vector<std::pair<std::string_view, std::string>>;
Marks marksOf(const FindState &state)
{
    Marks marks;
    for (const forms::Mark &mark : state.marks()) {
        marks.emplace_back(mark.control, mark.description);
    }
    return marks;
}

// Steps round the ends of "4370805" (3510 ... 8910I), through "4370453" (one model, twice in it),
// a model named and a miss, with the marks there; a walk both ways over several models is the
// window's own (Enter and F3 in tests/conformance).
TEST(FindSteps, NextAndPreviousWrapRoundAndMarkTheBoxesThatHoldThePart)
{
    using forms::FindStep;
    FindState state;
    const auto stepTo = [&state](FindStep step) {
        const ModelRecord *record = state.step(step);
        return record != nullptr ? std::string(record->model) : "(none)";
    };
    state.setQuery("4370805");
    EXPECT_EQ(stepTo(FindStep::Previous), "8910I");
    EXPECT_EQ(stepTo(FindStep::Next), "3510") << "past the last, the first";

    state.setQuery("4370453");
    EXPECT_EQ(stepTo(FindStep::Previous), "6150");
    EXPECT_EQ(marksOf(state),
              (Marks {{"Command10", "Holds 4370453 in PA IC 2, 4370453 in PA IC 4"},
                      {"Text3", "Holds the part found"},
                      {"Text5", "Holds the part found"}}));
    EXPECT_EQ(stepTo(FindStep::Next), "6150") << "one match wraps onto itself";

    state.setQuery("nokia 6310i");
    EXPECT_EQ(stepTo(FindStep::Next), "6310I");
    EXPECT_EQ(marksOf(state), (Marks {{"Command31", "The model named"}}))
        << "a model named marks its button, no box";

    state.setQuery("4370852");
    EXPECT_EQ(stepTo(FindStep::Previous), "(none)");
}

// The 6310I's record is held where the window copies it (Ctrl+C, tests/conformance).
TEST(RecordText, TheModelThenEachBoxThatIsNotBlankExactly)
{
    EXPECT_EQ(icatlas::ui::recordText(*ComponentCatalogue::findByModel("3210")),
              "3210\nPA IC 1: PF01420B \nPA IC 2: PF04110B\nPA IC 3: BGY252\nPA IC 4: BGY262\n"
              "RF IC 1: CRFU3 \nRF IC 2: SUMMA\nPOWER IC (UEM) 1: CCONT \n"
              "POWER IC (UEM) 2: TEA1210TS\nFLASH IC 1: F160B3TA\nFLASH IC 2: M28W160BT\n"
              "RAM IC 1: HY62U8100B\nRAM IC 2: KM68U1000ELTGI\nRAM IC 3: KM68FS1000TGI\n");
}

// The models icatlas-find names for `text`: those of its hit lines ("  3510  DCT4  ..."), else
// the model --model shows; read from its output, not from the matching.
std::vector<std::string> icatlasFindModels(std::string_view text)
{
    std::ostringstream out;
    std::ostringstream err;
    const std::array<std::string_view, 2> parts {"--", text};
    static_cast<void>(icatlas::find::run(parts, out, err));
    std::vector<std::string> named;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  ")) {
            std::string model = line.substr(2, line.find(' ', 2) - 2);
            if (named.empty() || named.back() != model) {
                named.push_back(model);
            }
        }
    }
    if (named.empty()) {
        std::ostringstream shown;
        const std::array<std::string_view, 2> model {"--model", text};
        if (icatlas::find::run(model, shown, err) == 0) {
            std::istringstream first(shown.str());
            std::string word;
            first >> word >> word >> word; // "Phone Model  6310I": the third
            named.push_back(word);
        }
    }
    return named;
}

TEST(FindOverTheCatalogue, EveryTextMarksTheModelsIcatlasFindLists)
{
    std::set<std::string_view> texts;
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        for (const std::string_view text : record.boxTexts()) {
            if (!text.empty()) {
                texts.insert(text);
            }
        }
    }
    ASSERT_GT(texts.size(), 150U);
    FindState state;
    for (const std::string_view text : texts) {
        state.setQuery(text);
        EXPECT_EQ(models(state.matches()), icatlasFindModels(text)) << '"' << text << '"';
        EXPECT_FALSE(state.matches().empty()) << '"' << text << '"';
    }
}

} // namespace
