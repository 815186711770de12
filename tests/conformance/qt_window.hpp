// SPDX-License-Identifier: MIT
// The promises suite's driver over the Qt window: real mouse clicks and key presses on the
// window the runtime built, on the offscreen screen the test program starts.
#pragma once

#include "tests/support/window_expectations.hpp"
#include "tests/support/window_fixture.hpp"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

private:
    std::unique_ptr<forms::QtForm> m_form;
};

} // namespace testing_support
