// SPDX-License-Identifier: MIT
// The real main window, built from its definition by the Qt runtime, shown and focused, with
// helpers to reach its widgets the way a user does.
#pragma once

#include "forms/qt/qt_form.hpp"
#include "ui/main_window.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace testing_support {

// What a control shows as its text: a label's, a button's or a box's text, a frame's title.
inline QString caption(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        return label->text();
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        return button->text();
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget)) {
        return frame->title();
    }
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        return edit->text();
    }
    return {};
}

// The real main window with its click handlers, shown on screen and active, laid out at
// `logicalDpi` (0: the screen's); null when it never gets there.
inline std::unique_ptr<forms::QtForm> showMainWindow(qreal logicalDpi = 0)
{
    auto window = std::make_unique<forms::QtForm>(icatlas::ui::kForm1, logicalDpi);
    icatlas::ui::connectClickHandlers(*window);
    window->show();
    QApplication::setActiveWindow(window->window());
    if (!QTest::qWaitForWindowExposed(window->window())
        || !QTest::qWaitForWindowActive(window->window())) {
        return nullptr;
    }
    return window;
}

class MainWindowTest : public ::testing::Test {
public:
    // A box's text, as the window drivers read it.
    [[nodiscard]] std::string text(std::string_view name) const
    {
        return widget<QLineEdit>(name)->text().toStdString();
    }

protected:
    void SetUp() override
    {
        form = showMainWindow();
        ASSERT_NE(form, nullptr) << "the window never reached the screen, or never became active";
    }

    void TearDown() override { form.reset(); }

    template <class T = QWidget> [[nodiscard]] T *widget(std::string_view name) const
    {
        auto *found = qobject_cast<T *>(form->widget(name));
        if (found == nullptr) {
            ADD_FAILURE() << "no widget " << name;
        }
        return found;
    }

    [[nodiscard]] QLineEdit *box(int n) const
    {
        return widget<QLineEdit>("Text" + std::to_string(n));
    }

    std::unique_ptr<forms::QtForm> form;
};

// Closes the error report once it is up, as the user would, and notes what it said.
inline void acceptReportWhenShown(std::string *shownText = nullptr)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, shownText] {
        if (auto *report = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (shownText != nullptr) {
                *shownText = report->text().toStdString();
            }
            report->accept();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

} // namespace testing_support
