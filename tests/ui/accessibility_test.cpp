// SPDX-License-Identifier: MIT
// The main window as a screen reader hears it, through Qt's accessibility interfaces: what each
// control is called, what it is and what is said after its name; controls found by those names
// the way a screen reader finds them, a model button pressed through its accessible action, and
// a box read back through its text interface.
#include "tests/support/labelled_rows.hpp"
#include "tests/support/spoken_names.hpp"
#include "tests/support/window_fixture.hpp"

#include <QAccessible>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using testing_support::byLabel;
using testing_support::MainWindowTest;
using testing_support::PrintTo;

using testing_support::SpokenName;

// What a control is, by the kind its name says.
QAccessible::Role roleOf(std::string_view control)
{
    for (const auto &[kind, role] : std::to_array<std::pair<std::string_view, QAccessible::Role>>(
             {{"Image", QAccessible::Graphic},
              {"Label", QAccessible::StaticText},
              {"Frame", QAccessible::Grouping},
              {"Text", QAccessible::EditableText},
              {"Command", QAccessible::Button}})) {
        if (control.starts_with(kind)) {
            return role;
        }
    }
    return QAccessible::NoRole;
}

QAccessibleInterface *accessible(QObject *object)
{
    return object != nullptr ? QAccessible::queryAccessibleInterface(object) : nullptr;
}

std::string said(const QAccessibleInterface *iface, QAccessible::Text what)
{
    return iface->text(what).toStdString();
}

class EachControlHeard : public MainWindowTest,
                         public ::testing::WithParamInterface<forms::ControlDefinition> { };

// What a listener hears for each control of the window, none left out, and what it is: the words
// are the window's own, as a sighted user reads them beside or on the control. Buttons say their
// model; the names differ, so everything that takes the focus can be told apart by its name alone.
TEST_P(EachControlHeard, CarriesTheNameAndDescriptionAListenerHears)
{
    const std::vector<SpokenName> rows = testing_support::spokenNames();
    const auto row = std::ranges::find(rows, std::string(GetParam().name), &SpokenName::control);
    ASSERT_NE(row, rows.end()) << "no words listed for it";
    QAccessibleInterface *iface = accessible(widget(row->control));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(said(iface, QAccessible::Name), row->name);
    EXPECT_EQ(said(iface, QAccessible::Description), row->description);
    EXPECT_EQ(iface->role(), roleOf(row->control));
}

INSTANTIATE_TEST_SUITE_P(Form1, EachControlHeard, ::testing::ValuesIn(icatlas::ui::kForm1Controls),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, IsAnnouncedAsAWindowByItsTitle)
{
    QAccessibleInterface *iface = accessible(form->window());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Window) << "a plain widget would say 'filler'";
    EXPECT_EQ(iface->text(QAccessible::Name), form->window()->windowTitle());
}

// Searches the window's accessible tree, as a screen reader does, for the one object of a role
// with a name; fails if there is none or more than one.
QAccessibleInterface *findHeard(QAccessibleInterface *root, QAccessible::Role role,
                                const std::string &name)
{
    std::vector<QAccessibleInterface *> found;
    std::vector<QAccessibleInterface *> pending {root};
    while (!pending.empty()) {
        QAccessibleInterface *node = pending.back();
        pending.pop_back();
        if (node->role() == role && said(node, QAccessible::Name) == name) {
            found.push_back(node);
        }
        for (int i = 0; i < node->childCount(); ++i) {
            pending.push_back(node->child(i));
        }
    }
    EXPECT_EQ(found.size(), 1U) << name;
    return found.size() == 1 ? found.front() : nullptr;
}

struct SpokenBox {
    const char *label;
    const char *model; // the button pressed
    const char *box; // the box's accessible name
    const char *spoken; // its name and then its text, as a screen reader speaks them
};

const auto kSpoken = std::to_array<SpokenBox>({
    {"model_box", "6310I", "Phone Model", "Phone Model, 6310I"},
    {"blank_pa_ic", "6310I", "PA IC 2", "PA IC 2, "},
    {"trailing_blank_kept", "3210", "PA IC 1", "PA IC 1, PF01420B "},
    {"whole_text_of_a_narrow_box", "5110", "RAM IC 1", "RAM IC 1, KM68U512ALTGE (512kbit)"},
});

class PressedByName : public MainWindowTest, public ::testing::WithParamInterface<SpokenBox> { };

// The button is pressed through its accessible action, which Qt carries out a moment later, as
// it does for a screen reader; then the box is read through its text interface.
TEST_P(PressedByName, FillsTheBoxesAScreenReaderThenReads)
{
    const SpokenBox &c = GetParam();
    QAccessibleInterface *window = accessible(form->window());
    ASSERT_NE(window, nullptr);
    QAccessibleInterface *button = findHeard(window, QAccessible::Button, c.model);
    QAccessibleInterface *heardBox = findHeard(window, QAccessible::EditableText, c.box);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(heardBox, nullptr);
    ASSERT_NE(button->actionInterface(), nullptr);
    const QAccessibleTextInterface *text = heardBox->textInterface();
    ASSERT_NE(text, nullptr);

    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return box(1)->text() == c.model; }))
        << "pressing " << c.model << " did not select it";
    const std::string spoken = said(heardBox, QAccessible::Name) + ", "
        + text->text(0, text->characterCount()).toStdString();
    EXPECT_EQ(spoken, c.spoken);

    // A screen reader reads a box run by run of equal text attributes; a run that ends where it
    // starts makes it drop the box's last character. The boxes are unformatted: one run.
    const int length = text->characterCount();
    for (int offset = 0; offset < length; ++offset) {
        int start = -1;
        int end = -1;
        text->attributes(offset, &start, &end);
        EXPECT_EQ(start, 0) << "at " << offset;
        EXPECT_EQ(end, length) << "at " << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, PressedByName, ::testing::ValuesIn(kSpoken), byLabel);

struct HeardPress {
    const char *label;
    const char *button;
    const char *announced;
    Qt::Key key; // pressed with this key on the focused button; Key_unknown: with the mouse
};

const auto kHeardPresses = std::to_array<HeardPress>({
    {"dct4_model", "Command31", testing_support::kAnnounced6310I, Qt::Key_unknown},
    {"dct4_model_by_enter", "Command31", testing_support::kAnnounced6310I, Qt::Key_Return},
    {"blanks_left_out_trailing_blank_kept", "Command2", testing_support::kAnnounced3210,
     Qt::Key_unknown},
});

class PressAnnounced : public MainWindowTest, public ::testing::WithParamInterface<HeardPress> { };

// A press puts up a notification, which screen readers speak as it appears, naming the model and
// its parts by heading; the focus stays on the button. Pressed again, it appears again.
TEST_P(PressAnnounced, AsANotificationWithTheFocusLeftOnTheButton)
{
    const HeardPress &row = GetParam();
    QWidget *button = widget(row.button);
    ASSERT_NE(button, nullptr);
    for (int press = 0; press < 2; ++press) {
        if (row.key == Qt::Key_unknown) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            button->setFocus();
            QTest::keyClick(button, row.key);
        }
        EXPECT_EQ(QApplication::focusWidget(), button);
        QAccessibleInterface *window = accessible(form->window());
        ASSERT_NE(window, nullptr);
        QAccessibleInterface *notification
            = findHeard(window, QAccessible::Notification, row.announced);
        ASSERT_NE(notification, nullptr);
        EXPECT_FALSE(notification->state().invisible);
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, PressAnnounced, ::testing::ValuesIn(kHeardPresses), byLabel);

} // namespace
