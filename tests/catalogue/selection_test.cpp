// SPDX-License-Identifier: MIT
// Model selection against an in-memory form: the sixteen writes, their order, and the references
// it holds while it writes.
#include "catalogue/selection.hpp"

#include "forms/core/form.hpp"
#include "tests/support/memory_form.hpp"
#include "tests/support/window_expectations.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
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

// Typed text is in every box first, so a box the record leaves blank must be cleared; form and box
// are both held during a write, and nothing after it. What a refused or failed write leaves, box
// by box, is one of the window's promises, held on this form as on every window.
TEST(Selection, WritesTheSixteenBoxesInOrderHoldingTheFormAndTheBox)
{
    for (const testing_support::ClickCase &row : testing_support::kClicks) {
        MemoryForm form(boxesTyped("typed by the user"));
        icatlas::SelectModel(form, record(row[0]));
        std::vector<Write> expected;
        for (int n = 1; n <= 16; ++n) {
            expected.push_back({"Text" + std::to_string(n), std::string(row.at(n)), 2});
        }
        EXPECT_EQ(form.writes(), expected) << row[0];
        EXPECT_EQ(form.heldReferences(), 0) << row[0];
    }
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

} // namespace
