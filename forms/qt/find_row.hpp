// SPDX-License-Identifier: MIT
// A form's find row over Qt Widgets: a field and an answer line under the form's controls, made on
// first use; frames drawn over the marked controls; and the find's keys on the form's own widgets,
// by the core's table (forms/core/find_row.hpp).
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/find_row.hpp"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <span>
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
    ~QtFindRow() override;
    QtFindRow(const QtFindRow &) = delete;
    QtFindRow &operator=(const QtFindRow &) = delete;
    QtFindRow(QtFindRow &&) = delete;
    QtFindRow &operator=(QtFindRow &&) = delete;

    void bind(FindHandlers handlers) override;
    void open(std::string_view text) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    void mark(std::span<const Mark> marks) override;
    void showAnswer(std::string_view line) override;

    // The height the open row adds to the window at the given factor, in pixels; 0 when closed.
    [[nodiscard]] int addedHeight(double scale) const;

    // The row's widget and its field; null before the row is first opened.
    [[nodiscard]] QWidget *row() const;
    [[nodiscard]] QLineEdit *field() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeRow();
    void placeRow();
    // Runs what a key's action does; false when it does nothing here.
    bool act(KeyAction action, QWidget *focused);
    void moveFocus(QWidget *from, Direction direction);
    void contextMenu(QLineEdit *box, QPoint at);
    void step(FindStep step) const;
    [[nodiscard]] std::string_view nameOf(const QWidget *widget) const;
    [[nodiscard]] FocusOn focusOn(const QWidget *widget) const;

    struct Marked {
        QPointer<QWidget> control;
        QPointer<QWidget> frame; // drawn over the control
        QString description; // the control's own, given back when unmarked
    };

    Host m_host;
    FindHandlers m_handlers;
    QPointer<QWidget> m_row;
    QPointer<QLineEdit> m_field;
    QPointer<QLabel> m_answer;
    QPointer<QTimer> m_pause;
    QPointer<QWidget> m_focusBefore;
    std::vector<Marked> m_marked;
    QString m_pendingAnswer;
    bool m_open = false;
};

} // namespace forms
