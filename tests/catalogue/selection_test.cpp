// SPDX-License-Identifier: MIT
// Model selection against an in-memory form: the sixteen writes, their order, and the references
// it holds while it writes.
#include "catalogue/selection.hpp"

#include "forms/core/form.hpp"
#include "tests/support/memory_form.hpp"
#include "tests/support/window_expectations.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::ModelRecord;
using testing_support::MemoryForm;
using testing_support::Write;

// Typed text is in every box first, so a box the record leaves blank must be cleared, and the
// same model chosen again writes every box again; form and box are both held during a write, and
// nothing after it. What a refused or failed write leaves, box by box, is one of the window's
// promises, held on this form as on every window.
TEST(Selection, WritesTheSixteenBoxesInOrderEachTimeHoldingTheFormAndTheBox)
{
    for (const testing_support::ClickCase &row : testing_support::kClicks) {
        std::vector<std::pair<std::string, std::string>> typed;
        std::vector<Write> expected;
        for (int n = 1; n <= 16; ++n) {
            typed.emplace_back("Text" + std::to_string(n), "typed by the user");
            expected.push_back({typed.back().first, std::string(row.at(n)), 2});
        }
        MemoryForm form(typed);
        const ModelRecord *record = ComponentCatalogue::findByButton(row[0]);
        ASSERT_NE(record, nullptr) << row[0];
        for (int time = 1; time <= 2; ++time) {
            icatlas::SelectModel(form, *record);
            EXPECT_EQ(form.writes(), expected) << row[0] << ", time " << time;
            EXPECT_EQ(form.heldReferences(), 0) << row[0];
            form.clearWrites();
        }
    }
}

} // namespace
