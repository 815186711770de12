// SPDX-License-Identifier: MIT
// A form realised with Qt 6 Widgets from its definition: one widget per control, named as in the
// definition, placed and scaled from twips with the screen's logical DPI.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/form.hpp"
#include "forms/qt/find_row.hpp"
#include "forms/qt/pictures.hpp"
#include "forms/qt/widgets.hpp"

#include <QPointer>
#include <QScrollArea>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <string_view>
#include <vector>

namespace forms {

class QtForm final : public Form {
public:
    // Builds the window and all its controls, at the logical DPI of the primary screen unless
    // one is given.
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
    // The window's name, caption and first size: the designed size, or less in proportion where
    // that does not fit the screen's available area; it may shrink to kSmallestScale and grow.
    void shapeWindow();
    // The client area's designed size at `scale`, in pixels at the form's DPI.
    [[nodiscard]] QSize sizeAt(qreal scale) const;
    // The window at `scale` within `room` (the client area's share of its screen), and its least
    // size, the least scale's, within the same room.
    void resizeWithin(qreal scale, QSize room);
    // On a move to another screen: the size at `kept` for that screen's scale, or less where it
    // has no room for it, the layout worked out again and the window kept inside it.
    void fitToScreen(qreal kept);
    // One widget per control, each in its container, the adapter the runtime reaches it by, and
    // the focus chained in the order of their tab indexes.
    void createControls();
    // Scales every control (place, size, font, picture) by how much the window exceeds or falls
    // short of its designed size, keeping the designed proportions.
    void scaleToWindow();
    // Where the window is smaller than the least scale's size, its controls move into a scroll
    // area that fills it, rather than lie beyond its edges.
    void scrollContent();

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
    QPointer<QWindow> m_screenWatched; // the native window whose screen changes are followed
};

} // namespace forms
