// SPDX-License-Identifier: MIT
// A form window's key bindings (see keyboard.hpp).
#include "forms/qt/keyboard.hpp"

#include "forms/core/keys.hpp"
#include "forms/qt/find_row.hpp"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <array>
#include <utility>

namespace forms {

namespace {

// Key_Enter is the keypad's.
constexpr auto kKeys = std::to_array<std::pair<int, Key>>({
    {Qt::Key_Return, Key::Enter},
    {Qt::Key_Enter, Key::Enter},
    {Qt::Key_Escape, Key::Escape},
    {Qt::Key_C, Key::C},
    {Qt::Key_F, Key::F},
    {Qt::Key_Q, Key::Q},
    {Qt::Key_W, Key::W},
    {Qt::Key_F3, Key::F3},
    {Qt::Key_F10, Key::F10},
    {Qt::Key_Menu, Key::Menu},
    {Qt::Key_Left, Key::Left},
    {Qt::Key_Right, Key::Right},
    {Qt::Key_Up, Key::Up},
    {Qt::Key_Down, Key::Down},
});

// A Qt key event as the core's key table names it.
KeyPress keyPress(const QKeyEvent &event)
{
    const auto *const found = std::ranges::find(kKeys, event.key(), &std::pair<int, Key>::first);
    KeyPress press {found != kKeys.end() ? found->second : Key::Other, kNoModifier};
    for (const auto &[qt, bit] :
         {std::pair {Qt::ShiftModifier, kShift}, std::pair {Qt::ControlModifier, kControl},
          std::pair {Qt::AltModifier, kAlt}, std::pair {Qt::MetaModifier, kMeta}}) {
        if (event.modifiers().testFlag(qt)) {
            press.modifiers |= bit;
        }
    }
    return press;
}

class FormKeys final : public QObject {
public:
    // A child of the find row, so it goes before the row it calls on.
    FormKeys(QWidget *window, QtFindRow &find)
        : QObject(&find)
        , m_window(window)
        , m_find(find)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::ContextMenu) {
            auto *box = qobject_cast<QLineEdit *>(widget);
            if (box == nullptr || m_find.focusOn(box) != FocusOn::TextBox) {
                return false;
            }
            m_find.contextMenu(box, static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        const auto *key = static_cast<QKeyEvent *>(event);
        const std::optional<KeyAction> action
            = keyAction(keyPress(*key), m_find.focusOn(widget), m_find.isOpen());
        if (!action) {
            return false;
        }
        const bool pressed = event->type() == QEvent::KeyPress;
        switch (*action) {
        case KeyAction::PressFocusedButton: {
            // Enter becomes Space for the button, so it goes down and comes up, clicks and is
            // announced exactly as Space makes it do. The buttons are not default buttons, so Qt
            // itself gives Enter no meaning there.
            QKeyEvent space(key->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                            key->isAutoRepeat());
            QCoreApplication::sendEvent(widget, &space);
            return true;
        }
        case KeyAction::Close:
            if (pressed) {
                m_window->close();
            }
            return true;
        case KeyAction::Ignore:
            return true;
        default:
            // The find's keys act as they go down; their release is the control's.
            return pressed && m_find.act(*action, widget);
        }
    }

private:
    QWidget *m_window;
    QtFindRow &m_find;
};

} // namespace

QObject *bindKeys(QWidget *window, std::span<QWidget *const> widgets, QtFindRow &find)
{
    auto *keys = new FormKeys(window, find);
    window->installEventFilter(keys);
    for (QWidget *widget : widgets) {
        widget->installEventFilter(keys);
    }
    return keys;
}

} // namespace forms
