// SPDX-License-Identifier: MIT
// A form window's key bindings (see keyboard.hpp).
#include "forms/qt/keyboard.hpp"

#include "forms/core/keys.hpp"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace forms {

namespace {

Key tableKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter ? Key::Enter // Key_Enter: the keypad's
        : key == Qt::Key_Escape                          ? Key::Escape
        : key == Qt::Key_Q                               ? Key::Q
        : key == Qt::Key_W                               ? Key::W
                                                         : Key::Other;
}

std::uint8_t tableModifiers(Qt::KeyboardModifiers held)
{
    std::uint8_t modifiers = kNoModifier;
    for (const auto &[qt, bit] :
         {std::pair {Qt::ShiftModifier, kShift}, std::pair {Qt::ControlModifier, kControl},
          std::pair {Qt::AltModifier, kAlt}, std::pair {Qt::MetaModifier, kMeta}}) {
        if (held.testFlag(qt)) {
            modifiers |= bit;
        }
    }
    return modifiers;
}

// Watches the window and its controls for the table's keys, before the control they go to sees
// them.
class FormKeys final : public QObject {
public:
    explicit FormKeys(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        auto *button = qobject_cast<QAbstractButton *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        const KeyAction action
            = keyAction(tableKey(key->key()), tableModifiers(key->modifiers()), button != nullptr);
        switch (action) {
        case KeyAction::PressFocusedButton: {
            // Enter becomes Space for the button, so it goes down and comes up, clicks and is
            // announced exactly as Space makes it do. The buttons are not default buttons, so Qt
            // itself gives Enter no meaning there.
            QKeyEvent space(key->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                            key->isAutoRepeat());
            QCoreApplication::sendEvent(button, &space);
            return true;
        }
        case KeyAction::Close:
            if (event->type() == QEvent::KeyPress) {
                m_window->close();
            }
            return true;
        case KeyAction::Ignore:
            return true;
        case KeyAction::Pass:
            break;
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

void bindKeys(QWidget *window, std::span<QWidget *const> controls)
{
    auto *keys = new FormKeys(window);
    window->installEventFilter(keys);
    for (QWidget *control : controls) {
        control->installEventFilter(keys);
    }
}

} // namespace forms
