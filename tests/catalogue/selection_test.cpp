// SPDX-License-Identifier: MIT
// Model selection against an in-memory form: the sixteen writes, their order, what survives a
// failed write, and the references it holds.
#include "catalogue/selection.hpp"

#include "forms/core/form.hpp"
#include "tests/support/memory_form.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::ModelRecord;
using testing_support::MemoryForm;
using testing_support::Write;

std::vector<std::pair<std::string, std::string>> boxesTyped(const std::string &text)
{
    std::vector<std::pair<std::string, std::string>> boxes;
    for (int n = 1; n <= 16; ++n) {
        boxes.emplace_back("Text" + std::to_string(n), text);
    }
    return boxes;
}

const ModelRecord &record(std::string_view button)
{
    const ModelRecord *found = ComponentCatalogue::findByButton(button);
    if (found == nullptr) {
        throw std::logic_error("no record for " + std::string(button));
    }
    return *found;
}

class EveryModel : public ::testing::TestWithParam<ModelRecord> { };

// Typed text is in every box first, so a box the record leaves blank must be cleared.
TEST_P(EveryModel, WritesSixteenBoxesInOrderReplacingWhatWasTyped)
{
    MemoryForm form(boxesTyped("typed by the user"));
    icatlas::SelectModel(form, GetParam());

    const auto texts = GetParam().boxTexts();
    std::vector<Write> expected;
    for (int n = 1; n <= 16; ++n) {
        // Form and box are both held during a write.
        expected.push_back({"Text" + std::to_string(n), std::string(texts[n - 1]), 2});
    }
    EXPECT_EQ(form.writes(), expected);
    for (int n = 1; n <= 16; ++n) {
        const std::string box = "Text" + std::to_string(n);
        EXPECT_EQ(form.box(box).text(), texts[n - 1]) << box;
    }
    EXPECT_EQ(form.heldReferences(), 0);
}

INSTANTIATE_TEST_SUITE_P(Selection, EveryModel,
                         ::testing::ValuesIn(ComponentCatalogue::records().begin(),
                                             ComponentCatalogue::records().end()),
                         [](const auto &info) { return std::string(info.param.button); });

TEST(Selection, TwinModelsChangeOnlyTheModelBox)
{
    MemoryForm form(boxesTyped(""));
    icatlas::SelectModel(form, record("Command18")); // 1100
    const auto before = form.texts();
    icatlas::SelectModel(form, record("Command19")); // 2300
    auto after = form.texts();
    EXPECT_EQ(before.at("Text1"), "1100");
    EXPECT_EQ(after.at("Text1"), "2300");
    after["Text1"] = before.at("Text1");
    EXPECT_EQ(after, before);
}

TEST(Selection, SameButtonTwiceWritesTheSameTextsAgain)
{
    MemoryForm form(boxesTyped(""));
    icatlas::SelectModel(form, record("Command2"));
    const auto first = form.writes();
    form.clearWrites();
    icatlas::SelectModel(form, record("Command2"));
    EXPECT_EQ(form.writes(), first);
    EXPECT_EQ(form.box("Text8").text(), "CCONT ") << "written with its trailing blank";
}

struct FailureCase {
    std::string label;
    int failingBox; // 1..16
    forms::ResultCode code;
    bool removed; // the box is gone rather than refusing the write
};

std::vector<FailureCase> failureCases()
{
    std::vector<FailureCase> cases;
    for (int n = 1; n <= 16; ++n) {
        cases.push_back({"Text" + std::to_string(n) + "_refuses", n,
                         forms::ResultCode::InvalidPropertyValue, false});
    }
    cases.push_back({"Text1_gone", 1, forms::ResultCode::ObjectRequired, true});
    cases.push_back({"Text9_gone", 9, forms::ResultCode::ObjectRequired, true});
    cases.push_back({"Text16_gone", 16, forms::ResultCode::ObjectRequired, true});
    return cases;
}

class FailedWrite : public ::testing::TestWithParam<FailureCase> { };

TEST_P(FailedWrite, StopsAtThatBoxWithTheRunTimeError)
{
    const FailureCase &c = GetParam();
    const std::string failing = "Text" + std::to_string(c.failingBox);
    MemoryForm form(boxesTyped("old"));
    if (c.removed) {
        form.remove(failing);
    } else {
        form.box(failing).failWith(c.code);
    }

    const ModelRecord &chosen = record("Command24"); // 3510I: no blank among its first boxes
    try {
        icatlas::SelectModel(form, chosen);
        FAIL() << "a failed write must raise a run-time error";
    } catch (const forms::RunTimeError &error) {
        EXPECT_EQ(error.code(), c.code);
        EXPECT_EQ(error.control(), failing);
        EXPECT_EQ(error.operation(), forms::Operation::SetText);
    }

    const auto texts = chosen.boxTexts();
    for (int n = 1; n <= 16; ++n) {
        const std::string box = "Text" + std::to_string(n);
        if (n == c.failingBox && c.removed) {
            continue;
        }
        const std::string expected = n < c.failingBox ? std::string(texts[n - 1]) : "old";
        EXPECT_EQ(form.box(box).text(), expected) << box;
    }
    // Nothing was attempted past the failing box.
    const auto attempted = form.writes().size();
    EXPECT_EQ(attempted, static_cast<std::size_t>(c.removed ? c.failingBox - 1 : c.failingBox));
    EXPECT_EQ(form.heldReferences(), 0);
}

INSTANTIATE_TEST_SUITE_P(Selection, FailedWrite, ::testing::ValuesIn(failureCases()),
                         [](const auto &info) { return info.param.label; });

} // namespace
