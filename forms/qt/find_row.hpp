// SPDX-License-Identifier: MIT
// A form's find row over Qt Widgets: a field and an answer line under the form's controls, made on
// first use; frames drawn over the marked controls; and what the find's keys do, as the form's
// key filter (keyboard.hpp) routes them.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/find_row.hpp"
#include "forms/core/keys.hpp"

#include <QObject>
#include <QPointer>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace forms {

class QtFindRow final : public QObject, public FindRow {
public:
    // What the row needs of its form: the window, the definition and its widgets (one per
    // control, in definition order), the factor the controls are laid out at now, and how the
    // form announces.
    struct Host {
        QWidget *window = nullptr;
        Twips clientWidth = 0; // the form's designed width
        std::span<const ControlDefinition> controls;
        std::span<QWidget *const> widgets;
        double logicalDpi = 96;
        std::function<double()> scale;
        std::function<void(std::string_view)> announce;
    };

    explicit QtFindRow(Host host);

    void open(std::string_view text) override;
    void close() override;
    void mark(std::span<const Mark> marks) override;
    void showAnswer(std::string_view line) override;

    // The height the open row adds to the window at the given factor, in pixels; 0 when closed.
    [[nodiscard]] int addedHeight(double scale) const;

    // Places the open row at the window's foot, at the factor the form's controls are laid out at
    // now; the form calls it once it has laid them out after a resize.
    void layOut();

    // Where the focus is when `widget` has it, as the key table tells the places apart.
    [[nodiscard]] FocusOn focusOn(const QWidget *widget) const;
    // Runs what a find key's action does with `focused` focused; false when it does nothing here.
    bool act(KeyAction action, QWidget *focused);
    // The component box's context menu with the find's item first, at `at` on the screen.
    void contextMenu(QLineEdit *box, QPoint at);

private:
    void makeRow();
    void step(FindStep step) override;
    void focus(const ControlDefinition &button) override;
    [[nodiscard]] std::string fieldText() const override;
    void copy(std::string_view text) override;
    bool openMenu(const ControlDefinition &box) override;
    [[nodiscard]] double scale() const;
    [[nodiscard]] const ControlDefinition *definitionOf(const QWidget *widget) const;
    [[nodiscard]] QWidget *widgetOf(const ControlDefinition &control) const;
    // Gives the controls the descriptions the marks call for now (see FindRow::describe).
    void describeMarks();

    Host m_host;
    QObject *m_keys; // the form's key filter, a child of this row
    QPointer<QWidget> m_row;
    QPointer<QLineEdit> m_field;
    QPointer<QLabel> m_answer;
    QPointer<QWidget> m_marks; // one layer over the window that draws every mark
    QPointer<QTimer> m_pause;
    QPointer<QWidget> m_focusBefore;
};

} // namespace forms
