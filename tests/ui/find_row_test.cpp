// SPDX-License-Identifier: MIT
// The find row as a user works it by keyboard: open, type, the marks, Enter and F3 going to the
// models as a click does, Esc giving back the window as designed; the arrow keys over the buttons,
// the boxes' menu item and Ctrl+C on a button.
#include "tests/conformance/qt_window.hpp"
#include "tests/support/window_expectations.hpp"
#include "tests/support/window_fixture.hpp"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using testing_support::boxTexts;
using testing_support::MainWindowTest;
using testing_support::QtWindow;
using testing_support::textsAfter;

class FindRow : public MainWindowTest {
protected:
    // Presses a key where the focus is, as the keyboard does.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << "nothing has the focus";
        QTest::keyClick(focused, key, modifiers);
    }

    [[nodiscard]] QLineEdit *field() const
    {
        return form->window()->findChild<QLineEdit *>(QStringLiteral("findField"));
    }

    [[nodiscard]] std::string answer() const
    {
        const auto *line = form->window()->findChild<QLabel *>(QStringLiteral("findAnswer"));
        return line != nullptr ? line->text().toStdString() : std::string();
    }

    // The controls framed now, by name, in the order they were marked.
    [[nodiscard]] std::vector<std::string> marked() const { return form->findRow()->marked(); }

    // Waits, no longer than a second past the pause in typing, for a control's description.
    [[nodiscard]] std::string describedAfterPause(std::string_view control) const
    {
        QWidget *target = widget(control);
        const QString before = target->accessibleDescription();
        static_cast<void>(QTest::qWaitFor([&] { return target->accessibleDescription() != before; },
                                          forms::kAnnouncePause.count() + 1000));
        return target->accessibleDescription().toStdString();
    }
};

TEST_F(FindRow, TypingMarksTheModelsAndEscGivesBackTheWindowAsDesigned)
{
    // Reached by the keyboard, so that the button shows its focus as it will when the row closes.
    widget("Command30")->setFocus();
    press(Qt::Key_Tab);
    ASSERT_EQ(QtWindow::focused(), "Command31");
    const QImage designed = form->window()->grab().toImage();
    const QSize designedSize = form->window()->size();
    ASSERT_EQ(field(), nullptr) << "the row is made on first use, not at the start";

    press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(field(), nullptr);
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_EQ(field()->accessibleName().toStdString(), "Find a part");
    EXPECT_EQ(form->window()->width(), designedSize.width());
    EXPECT_GT(form->window()->height(), designedSize.height()) << "the window grows by the row";

    QTest::keyClicks(field(), "4370805");
    EXPECT_EQ(answer(), "4370805: 7 models: 3510, 6310, 6310I, 6510, 8310, 8910, 8910I");
    const std::vector<std::string> buttons {"Command23", "Command30", "Command31", "Command32",
                                            "Command36", "Command37", "Command38"};
    EXPECT_EQ(marked(), buttons);
    EXPECT_EQ(describedAfterPause("Command23"), "Holds 4370805 in POWER IC (UEM) 1");
    EXPECT_EQ(widget("Command1")->accessibleDescription().toStdString(), "");

    press(Qt::Key_Escape);
    EXPECT_EQ(QtWindow::focused(), "Command31") << "the focus goes back where it was";
    EXPECT_EQ(form->window()->size(), designedSize);
    EXPECT_TRUE(marked().empty());
    EXPECT_EQ(widget("Command23")->accessibleDescription().toStdString(), "");
    EXPECT_EQ(form->window()->grab().toImage(), designed) << "not the designed window's pixels";

    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(field()->text().toStdString(), "4370805");
    EXPECT_EQ(marked(), buttons) << "opened again on the same text, it finds it again";
}

TEST_F(FindRow, EnterAndF3GoToTheMarkedModelsAsAClickDoes)
{
    widget("Command1")->setFocus();
    press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(field(), nullptr);
    QTest::keyClicks(field(), "4370453"); // twice in the 6150, nowhere else
    box(3)->setText(QStringLiteral("typed by hand"));
    press(Qt::Key_Return);
    EXPECT_EQ(boxTexts(*this), textsAfter("Command10")) << "the sixteen writes of a click";
    EXPECT_EQ(marked(), (std::vector<std::string> {"Command10", "Text3", "Text5"}));
    EXPECT_TRUE(field()->hasFocus()) << "the focus stays in the field";

    field()->setText(QStringLiteral("4370805"));
    // F3 steps on through the models that hold the part, Shift+F3 back, wrapping round.
    for (const auto &[back, button] :
         {std::pair {false, "Command23"}, std::pair {false, "Command30"},
          std::pair {true, "Command23"}, std::pair {true, "Command38"}}) {
        press(Qt::Key_F3, back ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_EQ(boxTexts(*this), textsAfter(button)) << button;
    }
    EXPECT_EQ(std::ranges::count(marked(), std::string("Text8")), 1) << "the box with the part";
    EXPECT_EQ(form->heldReferences(), 0);
}

TEST_F(FindRow, ArrowKeysMoveAsTheButtonsLie)
{
    widget("Command2")->setFocus();
    for (const auto &[key, to] :
         {std::pair {Qt::Key_Right, "Command3"}, std::pair {Qt::Key_Down, "Command13"},
          std::pair {Qt::Key_Down, "Command20"}, std::pair {Qt::Key_Left, "Command19"},
          std::pair {Qt::Key_Up, "Command12"}}) {
        press(key);
        EXPECT_EQ(QtWindow::focused(), to);
    }
}

TEST_F(FindRow, TheBoxMenuFindsItsPartAndCtrlCCopiesAButtonsRecord)
{
    QTest::mouseClick(widget("Command31"), Qt::LeftButton);
    box(12)->setFocus();
    for (const auto &[key, modifiers] :
         {std::pair {Qt::Key_Menu, Qt::KeyboardModifiers()},
          std::pair {Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)}}) {
        press(key, modifiers);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "no menu for key " << key;
        ASSERT_FALSE(menu->actions().isEmpty());
        EXPECT_EQ(menu->actions().front()->text().toStdString(), "Find models with this part");
        EXPECT_GT(menu->actions().size(), 3) << "the box's standard items stay";
        if (key == Qt::Key_F10) {
            menu->actions().front()->trigger();
        }
        menu->close();
    }
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(field()->text().toStdString(), "N643HT7MI");
    EXPECT_EQ(answer(), "N643HT7MI: 7 models: 6310, 6310I, 6510, 8310, 8910, 3600, 6600");

    widget("Command31")->setFocus();
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "6310I\nPA IC 1: PF08125B\nRF IC 1: MJOELNER\nPOWER IC (UEM) 1: 4370805\n"
              "UPP 1: 4370815\nFLASH IC 1: N643HT7MI\nRAM IC 1: @UPP\n");
}

} // namespace
