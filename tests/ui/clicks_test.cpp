// SPDX-License-Identifier: MIT
// The main window driven as a user drives it: real mouse clicks and key presses on the window
// the runtime built, what the sixteen boxes then show, the focus order, the keys that press and
// close, and what happens when a box refuses its text.
#include "tests/support/window_expectations.hpp"
#include "tests/support/window_fixture.hpp"

#include "catalogue/catalogue.hpp"
#include "forms/start/runtime.hpp"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::ModelRecord;
using testing_support::acceptReportWhenShown;
using testing_support::expectedTexts;
using testing_support::focusOrder;
using testing_support::MainWindowTest;
using testing_support::RefusalCase;

class ClickEachModel : public MainWindowTest, public ::testing::WithParamInterface<ModelRecord> { };

TEST_P(ClickEachModel, FillsTheSixteenBoxesWithItsRecord)
{
    auto *button = widget<QPushButton>(GetParam().button);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text().toStdString(), std::string(GetParam().model));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(boxTexts(), expectedTexts(GetParam()));
    EXPECT_EQ(form->heldReferences(), 0);
}

INSTANTIATE_TEST_SUITE_P(Form1, ClickEachModel,
                         ::testing::ValuesIn(ComponentCatalogue::records().begin(),
                                             ComponentCatalogue::records().end()),
                         [](const auto &info) { return std::string(info.param.button); });

TEST_F(MainWindowTest, StartsWithNokiaInTheModelBoxAndEmptyComponentBoxes)
{
    std::array<std::string, 16> expected {"NOKIA"};
    EXPECT_EQ(boxTexts(), expected);
}

TEST_F(MainWindowTest, TypedTextIsReplacedByTheNextClickEvenWhereTheRecordIsBlank)
{
    for (int n = 1; n <= 16; ++n) {
        box(n)->selectAll();
        QTest::keyClicks(box(n), "typed");
    }
    EXPECT_EQ(box(9)->text(), "typed");
    QTest::mouseClick(widget("Command1"), Qt::LeftButton); // 2100: Text9 is blank
    EXPECT_EQ(boxTexts(), expectedTexts(*ComponentCatalogue::findByButton("Command1")));
}

TEST_F(MainWindowTest, TwinModelsChangeOnlyTheModelBox)
{
    QTest::mouseClick(widget("Command18"), Qt::LeftButton); // 1100
    auto before = boxTexts();
    QTest::mouseClick(widget("Command19"), Qt::LeftButton); // 2300
    const auto after = boxTexts();
    EXPECT_EQ(before[0], "1100");
    EXPECT_EQ(after[0], "2300");
    before[0] = after[0];
    EXPECT_EQ(after, before);
}

TEST_F(MainWindowTest, LongTextIsStoredWholeInANarrowerBoxAndShownFromItsStart)
{
    QTest::mouseClick(widget("Command6"), Qt::LeftButton); // 5110
    QLineEdit *ram = box(14);
    EXPECT_EQ(ram->text(), "KM68U512ALTGE (512kbit)");
    EXPECT_GT(ram->fontMetrics().horizontalAdvance(ram->text()), ram->width())
        << "the box is narrower than its text";
    EXPECT_EQ(ram->cursorPosition(), 0);
    // The user can still reach the end of the text.
    ram->setFocus();
    QTest::keyClick(ram, Qt::Key_End);
    EXPECT_EQ(ram->cursorPosition(), ram->text().size());
}

// The same model clicked again writes texts the boxes already hold: each box must still end up as
// a fresh write leaves it, shown from its start with nothing selected.
TEST_F(MainWindowTest, ClickingTheSameModelAgainShowsEachBoxFromItsStartWithNothingSelected)
{
    QTest::mouseClick(widget("Command6"), Qt::LeftButton); // 5110
    QLineEdit *ram = box(14);
    ram->setFocus();
    QTest::keyClick(ram, Qt::Key_End);
    QTest::keyClick(ram, Qt::Key_Home, Qt::ShiftModifier);
    ASSERT_TRUE(ram->hasSelectedText());

    QTest::mouseClick(widget("Command6"), Qt::LeftButton);
    EXPECT_EQ(ram->text(), "KM68U512ALTGE (512kbit)");
    EXPECT_FALSE(ram->hasSelectedText());
    EXPECT_EQ(ram->cursorPosition(), 0);
    EXPECT_EQ(boxTexts(), expectedTexts(*ComponentCatalogue::findByButton("Command6")));
}

TEST_F(MainWindowTest, TextBoxesTakeFarMoreThanQtsDefaultLimit)
{
    const QString pasted(100000, QLatin1Char('x'));
    box(2)->setText(pasted);
    EXPECT_EQ(box(2)->text().size(), pasted.size());
}

std::string focused()
{
    const QWidget *w = QApplication::focusWidget();
    return w != nullptr ? w->objectName().toStdString() : std::string("(none)");
}

TEST_F(MainWindowTest, TabWalksTheControlsInTabIndexOrderFromCommand1)
{
    const auto expected = focusOrder();
    std::vector<std::string> walked {focused()};
    for (std::size_t i = 1; i <= expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(focused());
    }
    auto cycle = expected;
    cycle.push_back(expected.front()); // and round again
    EXPECT_EQ(walked, cycle);
}

TEST_F(MainWindowTest, ShiftTabWalksBackFromTheFirstWd2Button)
{
    widget("Command25")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), "Command38");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), "Command25");
}

enum class KeyEffect : std::uint8_t { Presses, Closes, Nothing };

struct KeyCase {
    const char *label;
    const char *focus; // the control the key goes to
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    KeyEffect effect;
};

const auto kKeys = std::to_array<KeyCase>({
    {"space_presses", "Command31", Qt::Key_Space, Qt::NoModifier, KeyEffect::Presses},
    {"enter_presses", "Command31", Qt::Key_Return, Qt::NoModifier, KeyEffect::Presses},
    {"keypad_enter_presses", "Command25", Qt::Key_Enter, Qt::KeypadModifier, KeyEffect::Presses},
    {"shift_enter_does_nothing", "Command31", Qt::Key_Return, Qt::ShiftModifier,
     KeyEffect::Nothing},
    {"enter_in_a_box_does_nothing", "Text3", Qt::Key_Return, Qt::NoModifier, KeyEffect::Nothing},
    {"escape_leaves_the_window_open", "Command31", Qt::Key_Escape, Qt::NoModifier,
     KeyEffect::Nothing},
    {"ctrl_q_closes", "Command31", Qt::Key_Q, Qt::ControlModifier, KeyEffect::Closes},
    {"ctrl_w_closes", "Command1", Qt::Key_W, Qt::ControlModifier, KeyEffect::Closes},
    {"ctrl_w_closes_from_a_box", "Text14", Qt::Key_W, Qt::ControlModifier, KeyEffect::Closes},
});

void PrintTo(const KeyCase &row, std::ostream *out)
{
    *out << row.label;
}

class KeyOnFocus : public MainWindowTest, public ::testing::WithParamInterface<KeyCase> { };

// A pressing key clicks the focused button once, as a mouse click does, and leaves the focus on
// it; the closing keys close the window from any control; every other key changes nothing.
TEST_P(KeyOnFocus, PressesClosesOrLeavesAlone)
{
    const KeyCase &row = GetParam();
    QWidget *target = widget(row.focus);
    ASSERT_NE(target, nullptr);
    target->setFocus();
    std::vector<std::string> clicked;
    for (auto *button : form->window()->findChildren<QPushButton *>()) {
        QObject::connect(button, &QPushButton::clicked, button, [&clicked, button] {
            clicked.push_back(button->objectName().toStdString());
        });
    }
    const auto before = boxTexts();
    QTest::keyClick(target, row.key, row.modifiers);
    QCoreApplication::processEvents();

    EXPECT_EQ(form->window()->isVisible(), row.effect != KeyEffect::Closes);
    if (row.effect == KeyEffect::Presses) {
        EXPECT_EQ(clicked, std::vector<std::string> {row.focus});
        EXPECT_EQ(boxTexts(), expectedTexts(*ComponentCatalogue::findByButton(row.focus)));
        EXPECT_EQ(focused(), row.focus);
        EXPECT_FALSE(qobject_cast<QPushButton *>(target)->isDown());
    } else {
        EXPECT_TRUE(clicked.empty()) << clicked.front();
        EXPECT_EQ(boxTexts(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, KeyOnFocus, ::testing::ValuesIn(kKeys),
                         [](const auto &info) { return std::string(info.param.label); });

class RefusedWrite : public MainWindowTest, public ::testing::WithParamInterface<RefusalCase> { };

// A box that cannot hold the text: the report names the error, the box and the operation; the
// boxes before it show the new record and those after it their old texts.
TEST_P(RefusedWrite, IsReportedAndLeavesLaterBoxesUntouched)
{
    const RefusalCase &c = GetParam();
    const std::string name = "Text" + std::to_string(c.box);
    for (int n = 1; n <= 16; ++n) {
        box(n)->setText("old");
    }
    if (c.gone) {
        delete box(c.box);
    } else {
        box(c.box)->setMaxLength(2);
    }

    std::string shown;
    acceptReportWhenShown(&shown);
    QTest::mouseClick(widget("Command24"), Qt::LeftButton); // 3510I
    ASSERT_TRUE(QTest::qWaitFor([&shown] { return !shown.empty(); }, 5000));
    EXPECT_NE(shown.find(c.shown), std::string::npos) << shown;
    EXPECT_NE(shown.find(name + ","), std::string::npos) << shown;
    EXPECT_NE(shown.find("set Text"), std::string::npos) << shown;

    const auto texts = expectedTexts(*ComponentCatalogue::findByButton("Command24"));
    for (int n = 1; n <= 16; ++n) {
        if (n == c.box) {
            continue;
        }
        EXPECT_EQ(box(n)->text().toStdString(), n < c.box ? texts.at(n - 1) : "old") << n;
    }
    EXPECT_EQ(form->heldReferences(), 0);
}

INSTANTIATE_TEST_SUITE_P(Form1, RefusedWrite, ::testing::ValuesIn(testing_support::kRefusals),
                         [](const auto &info) { return std::string(info.param.label); });

// The whole path in a process of its own: the report goes to stderr and the program ends with a
// failure status once the user closes it.
TEST(UntrappedError, EndsTheProgramWithAFailureStatus)
{
    EXPECT_EXIT(
        {
            const auto onScreen = testing_support::showMainWindow();
            if (onScreen == nullptr) {
                std::exit(1);
            }
            forms::QtForm &window = *onScreen;
            qobject_cast<QLineEdit *>(window.widget("Text2"))->setMaxLength(3);
            QTimer::singleShot(
                0, [&window] { QTest::mouseClick(window.widget("Command31"), Qt::LeftButton); });
            acceptReportWhenShown();
            std::exit(QApplication::exec());
        },
        ::testing::ExitedWithCode(forms::kUntrappedErrorExitCode),
        "Run-time error '380': Invalid property value .* in Text2, set Text");
}

} // namespace
