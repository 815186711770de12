// SPDX-License-Identifier: MIT
// The promises suite's driver over the Qt window: real mouse clicks and key presses on the
// window the runtime built, on the offscreen screen the test program starts.
#pragma once

#include "tests/support/window_expectations.hpp"
#include "tests/support/window_fixture.hpp"

#include "forms/core/keys.hpp"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

class QtWindow {
public:
    static constexpr std::string_view kName = "qt";

    explicit QtWindow(unsigned dpi = 96)
        : m_form(showMainWindow(dpi))
    {
    }

    [[nodiscard]] bool opened() const { return m_form != nullptr; }

    [[nodiscard]] std::optional<Place> place(std::string_view name) const
    {
        const QWidget *widget = m_form->widget(name);
        if (widget == nullptr) {
            return std::nullopt;
        }
        const QWidget *parent = widget->parentWidget();
        const QRect at = widget->geometry();
        return Place {at.x(), at.y(), at.width(), at.height(),
                      parent == m_form->window() ? std::string()
                                                 : parent->objectName().toStdString()};
    }

    [[nodiscard]] std::string text(std::string_view name) const
    {
        const QWidget *widget = m_form->widget(name);
        return widget != nullptr ? caption(widget).toStdString() : "(gone)";
    }

    void click(std::string_view button)
    {
        QTest::mouseClick(m_form->widget(button), Qt::LeftButton);
    }

    void type(std::string_view box, std::string_view text)
    {
        auto *edit = qobject_cast<QLineEdit *>(m_form->widget(box));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

    void focus(std::string_view name) { m_form->widget(name)->setFocus(); }

    [[nodiscard]] static std::string focused()
    {
        const QWidget *widget = QApplication::focusWidget();
        return widget != nullptr ? widget->objectName().toStdString() : "(none)";
    }

    static void tab(bool back)
    {
        QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab);
    }

    bool press(const KeyCase &row)
    {
        constexpr std::array<Qt::Key, 6> keys {Qt::Key_Space,  Qt::Key_Return, Qt::Key_Enter,
                                               Qt::Key_Escape, Qt::Key_Q,      Qt::Key_W};
        const Qt::Key key = keys.at(static_cast<std::size_t>(row.key));
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
        modifiers.setFlag(Qt::ShiftModifier, row.shift);
        modifiers.setFlag(Qt::ControlModifier, row.control);
        modifiers.setFlag(Qt::KeypadModifier, row.key == TestKey::KeypadEnter);
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QCoreApplication::processEvents();
        return !m_form->window()->isVisible();
    }

    // A key of the form's own table, where the focus is.
    static void press(forms::Key key, std::uint8_t modifiers = forms::kNoModifier)
    {
        constexpr auto keys = std::to_array<Qt::Key>(
            {Qt::Key_Return, Qt::Key_Escape, Qt::Key_C, Qt::Key_F, Qt::Key_Q, Qt::Key_W, Qt::Key_F3,
             Qt::Key_F10, Qt::Key_Menu, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down});
        Qt::KeyboardModifiers held = Qt::NoModifier;
        held.setFlag(Qt::ShiftModifier, (modifiers & forms::kShift) != 0);
        held.setFlag(Qt::ControlModifier, (modifiers & forms::kControl) != 0);
        QTest::keyClick(QApplication::focusWidget(), keys.at(static_cast<std::size_t>(key)), held);
        QCoreApplication::processEvents();
    }

    static void typeHere(std::string_view text)
    {
        QTest::keyClicks(QApplication::focusWidget(),
                         QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

    void refuse(std::string_view box, bool gone)
    {
        auto *edit = qobject_cast<QLineEdit *>(m_form->widget(box));
        if (gone) {
            delete edit;
        } else {
            edit->setMaxLength(0);
        }
    }

    std::string clickReported(std::string_view button)
    {
        std::string shown;
        acceptReportWhenShown(&shown);
        click(button);
        // An empty answer after five seconds fails the test that asked.
        static_cast<void>(QTest::qWaitFor([&shown] { return !shown.empty(); }, 5000));
        return shown;
    }

    [[nodiscard]] int heldReferences() const { return m_form->heldReferences(); }

    // Null before the row is first opened.
    [[nodiscard]] const forms::FindRow *findRow() const { return m_form->findRow(); }

    [[nodiscard]] std::optional<std::string> findText() const
    {
        const auto *field = m_form->window()->findChild<QLineEdit *>(QStringLiteral("findField"));
        return field != nullptr ? std::optional(field->text().toStdString()) : std::nullopt;
    }

    [[nodiscard]] std::string answer() const
    {
        const auto *line = m_form->window()->findChild<QLabel *>(QStringLiteral("findAnswer"));
        return line != nullptr ? line->text().toStdString() : "(no answer line)";
    }

    static void pastThePause()
    {
        QTest::qWait(static_cast<int>(forms::kAnnouncePause.count()) + 300);
    }

    [[nodiscard]] std::pair<int, int> size() const
    {
        return {m_form->window()->width(), m_form->window()->height()};
    }
    [[nodiscard]] QImage shown() const { return m_form->window()->grab().toImage(); }

    static std::vector<std::string> menuOffered(forms::Key key, std::uint8_t modifiers)
    {
        press(key, modifiers);
        std::vector<std::string> offered;
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu != nullptr && !menu->actions().isEmpty()) {
            for (const QAction *action : menu->actions()) {
                offered.push_back(action->text().toStdString());
            }
            menu->actions().front()->trigger();
            menu->close();
        }
        return offered;
    }

    [[nodiscard]] static std::string copied()
    {
        return QGuiApplication::clipboard()->text().toStdString();
    }

private:
    std::unique_ptr<forms::QtForm> m_form;
};

} // namespace testing_support
