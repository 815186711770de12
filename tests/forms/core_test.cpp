// SPDX-License-Identifier: MIT
// The forms runtime's core: result codes, the run-time error a failed check raises, and counted
// references released on every path.
#include "forms/form.hpp"
#include "forms/result.hpp"
#include "tests/support/memory_form.hpp"

#include <gtest/gtest.h>

#include <array>

#include <stdexcept>
#include <string>

namespace {

using forms::Operation;
using forms::ResultCode;
using testing_support::MemoryForm;

struct CodeCase {
    const char *label;
    ResultCode code;
    bool ok;
    unsigned number;
    const char *wording;
};

const auto kCodes = std::to_array<CodeCase>({
    {"ok", ResultCode::Ok, true, 0, "Success"},
    {"invalid_property_value", ResultCode::InvalidPropertyValue, false, 380,
     "Invalid property value"},
    {"object_required", ResultCode::ObjectRequired, false, 424, "Object required"},
    {"unknown_failure", static_cast<ResultCode>(0x80004005U), false, 0x4005, "Unknown error"},
});

class ResultCheck : public ::testing::TestWithParam<CodeCase> { };

TEST_P(ResultCheck, FailedCodesRaiseTheRunTimeErrorAndOthersPass)
{
    const CodeCase &c = GetParam();
    EXPECT_EQ(forms::succeeded(c.code), c.ok);
    EXPECT_EQ(forms::errorNumber(c.code), c.number);
    EXPECT_EQ(forms::describe(c.code), c.wording);
    if (c.ok) {
        EXPECT_NO_THROW(forms::checkResult(c.code, "Text4", Operation::SetText));
        return;
    }
    try {
        forms::checkResult(c.code, "Text4", Operation::SetText);
        FAIL() << "no run-time error raised";
    } catch (const forms::RunTimeError &error) {
        EXPECT_EQ(error.code(), c.code);
        EXPECT_EQ(error.control(), "Text4");
        EXPECT_EQ(error.operation(), Operation::SetText);
        const std::string what = error.what();
        EXPECT_NE(what.find(std::to_string(c.number)), std::string::npos) << what;
        EXPECT_NE(what.find(c.wording), std::string::npos) << what;
        EXPECT_NE(what.find("Text4"), std::string::npos) << what;
        EXPECT_NE(what.find("set Text"), std::string::npos) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, ResultCheck, ::testing::ValuesIn(kCodes),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(CountedReference, IsReleasedOnEveryPathOutOfItsScope)
{
    MemoryForm form({{"Text1", ""}, {"Text2", ""}});
    {
        const auto window = forms::takeForm(form);
        auto box = form.takeTextBox("Text1");
        EXPECT_EQ(form.heldReferences(), 2);

        auto moved = std::move(box);
        EXPECT_FALSE(box); // NOLINT(bugprone-use-after-move): a moved-from reference is empty
        EXPECT_TRUE(moved);
        EXPECT_EQ(form.heldReferences(), 2) << "moving does not take another reference";

        moved = form.takeTextBox("Text2");
        EXPECT_EQ(form.heldReferences(), 2) << "assigning releases the reference it replaces";
        EXPECT_EQ(moved->name(), "Text2");
    }
    EXPECT_EQ(form.heldReferences(), 0);

    try {
        const auto box = form.takeTextBox("Text1");
        throw std::runtime_error("leaving by an exception");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(form.heldReferences(), 0);
}

TEST(CountedReference, MissingOrWrongKindOfControlGivesAnEmptyReferenceAndHoldsNothing)
{
    MemoryForm form({{"Text1", ""}, {"Text2", ""}});
    const auto missing = form.takeTextBox("Text99");
    EXPECT_FALSE(missing);
    EXPECT_EQ(form.heldReferences(), 0);
}

} // namespace
