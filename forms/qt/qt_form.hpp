// SPDX-License-Identifier: MIT
// A form realised with Qt 6 Widgets from its definition: one widget per control, named as in the
// definition, placed and scaled from twips with the screen's logical DPI; and its find row (a field
// and an answer line under the controls, frames over the marked ones), which also answers the
// form's keys beyond the toolkit's own, as the core's key table says.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/find_row.hpp"
#include "forms/core/form.hpp"
#include "forms/qt/widgets.hpp"

#include <QPointer>
#include <QScrollArea>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QTimer;

namespace forms {

class QtForm;

class QtFindRow final : public QObject, public FindRow {
public:
    // Watches the form's window and controls for the table's keys, and the component boxes for
    // their context menus, before the control they go to sees them.
    explicit QtFindRow(QtForm &form);

    // Places the open row at the window's foot; the form calls it once it has laid out its
    // controls after a resize.
    void layOut();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The field and the answer line under the controls, the layer of marks over the window, and
    // the pause's timer, all made on the first opening.
    bool make() override;
    void show(bool shown) override;
    void setField(std::string_view text) override;
    [[nodiscard]] std::string fieldText() const override;
    void setAnswer(std::string_view line) override;
    void pause(bool start) override;
    [[nodiscard]] double dpi() const override;
    [[nodiscard]] double scale() const override;
    void grow(int height) override;
    void redraw(const MarkChange &change) override; // the layer, which draws every mark
    void describe(const ControlDefinition &control, std::string_view description) override;
    [[nodiscard]] const ControlDefinition *focused() const override;
    void focus(const ControlDefinition *control) override;
    void runAsClick(const std::function<void()> &handler) override;
    void copy(std::string_view text) override;
    bool openMenu(const ControlDefinition &box) override;
    // The component box's context menu with the find's item first, at `at` on the screen.
    void contextMenu(QLineEdit *box, QPoint at);
    [[nodiscard]] const ControlDefinition *definitionOf(const QWidget *widget) const;
    void paintMarks(); // on the layer of marks, as it is painted

    QtForm &m_form;
    QPointer<QLineEdit> m_field;
    QPointer<QLabel> m_answer;
    QPointer<QWidget> m_marks; // one layer over the window that draws every mark
    QPointer<QTimer> m_pause;
};

class QtForm final : public Form {
public:
    // Builds the window and all its controls, at the logical DPI of the screen it opens on unless
    // one is given. The window opens at its designed size, or less in proportion where that does
    // not fit the screen's available area; it may shrink to kSmallestScale and grow.
    explicit QtForm(const FormDefinition &definition, qreal logicalDpi = 0);
    ~QtForm() override;

    [[nodiscard]] std::string_view name() const override { return m_definition.name; }
    [[nodiscard]] Control *findControl(std::string_view name) override;
    bool onClick(std::string_view control, std::function<void()> handler) override;
    // Shows the message as a notification, which screen readers speak as it appears.
    void announce(std::string_view message) override;
    // The row is made when first opened; until then only its keys are watched.
    [[nodiscard]] FindRow *findRow() override { return m_findRow.data(); }

    // The top-level window; null once it has been destroyed.
    [[nodiscard]] QWidget *window() const { return m_window; }
    [[nodiscard]] QWidget *widget(std::string_view name) const;

    // Shows the window with the keyboard focus on its first control in tab order.
    void show();

private:
    friend class QtFindRow; // lays itself out as the form does, and announces through it
    friend class FormWindow; // hands the form its window's events

    // The client area's size at `scale`, in pixels at the form's DPI.
    [[nodiscard]] QSize sizeAt(qreal scale) const;
    // The window at the largest factor up to `most` that fits `room` (the client area's share of
    // its screen), and its least size, the least scale's, within the same room.
    void resizeWithin(qreal most, QSize room);
    // On a move to another screen: the size at `kept` for that screen's scale, or less where it
    // has no room for it, the layout worked out again and the window kept inside it.
    void fitToScreen(qreal kept);
    // Runs a handler as a click runs it: the boxes it writes are heard as one change each, and an
    // error that leaves it (handlers trap nothing) is reported and ends the program.
    void runHandler(const std::function<void()> &handler) const;
    // Scales every control (place, size, font, picture) by how much the window exceeds or falls
    // short of its designed size.
    void scaleToWindow();

    const FormDefinition &m_definition;
    RegisteredResources m_resources;
    QPointer<QWidget> m_window;
    std::vector<std::unique_ptr<Control>> m_controls;
    QPointer<QWidget> m_announcer; // made on the first announcement
    std::vector<QWidget *> m_widgets; // one per control, in definition order; children of m_window
    qreal m_logicalDpi = 96;
    bool m_dpiFromScreen = true; // no DPI was given: the window's screen's is followed
    qreal m_scale = 1.0; // the factor the controls are laid out at now
    QPoint m_margin; // where the laid-out form lies on its surface, its spare room shared
    QPointer<QScrollArea> m_scroller; // made once the window is smaller than the least scale
    QPointer<QtFindRow> m_findRow; // a child of m_window
};

} // namespace forms
