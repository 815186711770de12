// SPDX-License-Identifier: MIT
// A write that fails at each of the sixteen boxes in turn, on the real window: the error says what
// failed and where, the boxes before it hold the new record and those after it their old texts,
// no reference stays held, and through a click the program reports and ends with a failure status.
#include "tests/support/window_fixture.hpp"

#include "catalogue/catalogue.hpp"
#include "catalogue/selection.hpp"
#include "forms/core/result.hpp"
#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"

#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

using forms::ResultCode;
using icatlas::ComponentCatalogue;
using icatlas::kBoxCount;
using icatlas::ModelRecord;
using testing_support::acceptReportWhenShown;

enum class Failure : std::uint8_t {
    Refuses, // the box holds at most zero characters: it refuses any text that is not empty
    Gone, // the box's widget was destroyed
};

struct FaultCase {
    std::string label;
    int box; // 1..16
    Failure failure;
    const ModelRecord *record; // the record being written; its text at `box` is not blank
    ResultCode code;
};

// How a case reads in a failure message.
void PrintTo(const FaultCase &c, std::ostream *out)
{
    *out << c.label << " writing " << c.record->model;
}

// For each box, the first record whose text there is not blank: an empty text fits any box, so
// only such a record makes a refusing box fail.
std::vector<FaultCase> faultCases()
{
    std::vector<FaultCase> cases;
    for (int box = 1; box <= static_cast<int>(kBoxCount); ++box) {
        const ModelRecord *chosen = nullptr;
        for (const ModelRecord &record : ComponentCatalogue::records()) {
            if (!record.boxTexts().at(box - 1).empty()) {
                chosen = &record;
                break;
            }
        }
        if (chosen == nullptr) {
            ADD_FAILURE() << "no record has a text in Text" << box;
            continue;
        }
        const std::string name = "Text" + std::to_string(box);
        cases.push_back(
            {name + "_refuses", box, Failure::Refuses, chosen, ResultCode::InvalidPropertyValue});
        cases.push_back(
            {name + "_is_gone", box, Failure::Gone, chosen, ResultCode::ObjectRequired});
    }
    return cases;
}

std::string oldText(int box)
{
    return "old text " + std::to_string(box);
}

// Fills every box with its old text, then breaks the chosen box.
void prepare(forms::QtForm &window, const FaultCase &c)
{
    for (int n = 1; n <= static_cast<int>(kBoxCount); ++n) {
        auto *edit = qobject_cast<QLineEdit *>(window.widget("Text" + std::to_string(n)));
        edit->setText(QString::fromStdString(oldText(n)));
        if (n == c.box && c.failure == Failure::Refuses) {
            edit->setMaxLength(0);
        }
    }
    if (c.failure == Failure::Gone) {
        delete window.widget("Text" + std::to_string(c.box));
    }
}

// The boxes that do not match: before the failing box the record's texts, after it the old ones.
// Empty when all match.
std::string mismatchedBoxes(forms::QtForm &window, const FaultCase &c)
{
    std::string mismatched;
    const auto texts = c.record->boxTexts();
    for (int n = 1; n <= static_cast<int>(kBoxCount); ++n) {
        if (n == c.box) {
            continue;
        }
        const std::string expected = n < c.box ? std::string(texts.at(n - 1)) : oldText(n);
        const QWidget *edit = window.widget("Text" + std::to_string(n));
        const std::string shown
            = edit != nullptr ? qobject_cast<const QLineEdit *>(edit)->text().toStdString() : "";
        if (shown != expected) {
            mismatched.append("Text").append(std::to_string(n)).append(" shows '").append(shown);
            mismatched.append("', not '").append(expected).append("'; ");
        }
    }
    return mismatched;
}

class FailingWrite : public testing_support::MainWindowTest,
                     public ::testing::WithParamInterface<FaultCase> { };

// The selection itself, run on the real form: the error it raises is the one a caller can act on.
TEST_P(FailingWrite, RaisesTheErrorOfThatBoxAndStopsThere)
{
    const FaultCase &c = GetParam();
    prepare(*form, c);
    try {
        icatlas::SelectModel(*form, *c.record);
        ADD_FAILURE() << "the write to Text" << c.box << " did not fail";
    } catch (const forms::RunTimeError &error) {
        EXPECT_EQ(error.code(), c.code);
        EXPECT_EQ(error.control(), "Text" + std::to_string(c.box));
        EXPECT_EQ(error.operation(), forms::Operation::SetText);
    }
    EXPECT_EQ(mismatchedBoxes(*form, c), "");
    EXPECT_EQ(form->heldReferences(), 0);
}

// The whole path in a process of its own, from the user's click to the exit status: the report is
// shown and written to stderr, the boxes are as the failure left them, and the program ends with
// the untrapped-error status once the report is closed.
TEST_P(FailingWrite, ThroughAClickIsReportedAndEndsTheProgram)
{
    const FaultCase &c = GetParam();
    const std::string name = "Text" + std::to_string(c.box);
    const std::string number = c.code == ResultCode::InvalidPropertyValue ? "380" : "424";
    EXPECT_EXIT(
        {
            // As the program's start names it.
            forms::setProgramName(icatlas::ui::kProject.name);
            const auto onScreen = testing_support::showMainWindow();
            if (onScreen == nullptr) {
                std::exit(1);
            }
            forms::QtForm &window = *onScreen;
            prepare(window, c);
            std::string shown;
            acceptReportWhenShown(&shown);
            QTimer::singleShot(0, [&window, &c] {
                QTest::mouseClick(window.widget(c.record->button), Qt::LeftButton);
            });
            const int status = QApplication::exec();
            // What the user saw on screen, checked only once the program has ended.
            const std::string mismatched = mismatchedBoxes(window, c);
            if (shown.find("Run-time error '" + number + "'") == std::string::npos
                || shown.find(name + ", set Text") == std::string::npos) {
                std::fprintf(stderr, "report said: %s\n", shown.c_str());
                std::exit(1);
            }
            if (!mismatched.empty() || window.heldReferences() != 0) {
                std::fprintf(stderr, "after the failure: %s%d references held\n",
                             mismatched.c_str(), window.heldReferences());
                std::exit(1);
            }
            std::exit(status);
        },
        ::testing::ExitedWithCode(forms::kUntrappedErrorExitCode),
        // The offscreen platform adds notes of its own; ours is one whole line among them.
        "(^|\n)icatlas: Run-time error '" + number + "': [^\n]* in " + name + ", set Text\n");
}

INSTANTIATE_TEST_SUITE_P(EachBox, FailingWrite, ::testing::ValuesIn(faultCases()),
                         [](const auto &info) { return info.param.label; });

} // namespace
