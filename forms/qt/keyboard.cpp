// SPDX-License-Identifier: MIT
// A form window's key bindings (see keyboard.hpp).
#include "forms/qt/keyboard.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include <array>

namespace forms {

namespace {

// Ctrl+Q quits and Ctrl+W closes the window on every Linux desktop; with one window both close it.
constexpr std::array kClosingKeys {QKeyCombination(Qt::ControlModifier, Qt::Key_Q),
                                   QKeyCombination(Qt::ControlModifier, Qt::Key_W)};

// Turns Enter, on the main keys or the keypad, into Space for the focused button, so the button
// goes down and comes up, clicks and is announced exactly as Space makes it do. The buttons are
// not default buttons, so Qt itself gives Enter no meaning there.
class EnterPresses final : public QObject {
public:
    explicit EnterPresses(QObject *parent)
        : QObject(parent)
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
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Shift+Enter and the like keep whatever meaning they have (none here).
        if (button == nullptr || !enter
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        QKeyEvent space(key->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                        key->isAutoRepeat());
        QCoreApplication::sendEvent(button, &space);
        return true;
    }
};

} // namespace

void bindKeys(QWidget *window, std::span<QWidget *const> controls)
{
    auto *enter = new EnterPresses(window);
    for (QWidget *control : controls) {
        if (qobject_cast<QAbstractButton *>(control) != nullptr) {
            control->installEventFilter(enter);
        }
    }
    for (const QKeyCombination keys : kClosingKeys) {
        auto *shortcut = new QShortcut(QKeySequence(keys), window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
    }
}

} // namespace forms
