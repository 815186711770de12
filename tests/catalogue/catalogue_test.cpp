// SPDX-License-Identifier: MIT
// A look-up by a name that is no model button finds nothing. The records' texts are held to the
// published table where a click writes them (selection_test.cpp, the window's promises); the
// table's shape is checked where it is written, at compile time.
#include "catalogue/catalogue.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using icatlas::ComponentCatalogue;

class NoSuchButton : public ::testing::TestWithParam<std::string_view> { };

TEST_P(NoSuchButton, LookUpSaysThereIsNone)
{
    EXPECT_EQ(ComponentCatalogue::findByButton(GetParam()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, NoSuchButton,
                         ::testing::Values("", "Command0", "Command43", "command1", "Command01",
                                           "Command1 ", "Text1", "Frame1", "6310I"),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

} // namespace
