// SPDX-License-Identifier: MIT
// A form's find row over Win32: an edit and a static answer line under the form's controls, made
// on first use; thick frames drawn over the marked controls; and the find's keys and the boxes'
// context menu routed by the core's rules (forms/core/find_row.hpp).
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/find_row.hpp"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace forms {

class Win32Form;

class Win32FindRow final : public FindRow {
public:
    // The form's timer for the pause in typing, whose end the form hands to paused().
    static constexpr UINT_PTR kPauseTimer = 1;

    explicit Win32FindRow(Win32Form &form);

    using FindRow::act;
    using FindRow::paused;

    // The answer line's font; the field's is the form's own. The form makes both at each scale.
    [[nodiscard]] static Font answerFont(const FormDefinition &definition);
    // Takes the fonts made anew (`refont`) and, when open, its place at the foot of the window.
    void layOut(bool refont);

    // The boxes' menu for `box`, at `at` on the screen.
    void contextMenu(HWND box, POINT at);
    // A notification a control of the form sent it.
    void command(HWND control, WORD code);

    // The row's field and answer line; null before the row is first opened.
    [[nodiscard]] HWND field() const { return m_field; }
    [[nodiscard]] HWND answer() const { return m_answer; }

private:
    [[nodiscard]] double dpi() const override; // the monitor's, as the form follows it
    [[nodiscard]] double scale() const override;
    // An edit and a static line, children of the form's window, made hidden on first opening.
    bool make() override;
    void show(bool shown) override;
    void grow(int height) override;
    void setField(std::string_view text) override;
    [[nodiscard]] std::string fieldText() const override;
    void setAnswer(std::string_view line) override;
    void pause(bool start) override; // the form's timer kPauseTimer
    // Each marked control subclassed to draw its frame over itself; the others drawn again.
    void redraw(const MarkChange &change) override;
    // Through the form's annotations, which UI Automation reads.
    void describe(const ControlDefinition &control, std::string_view description) override;
    [[nodiscard]] const ControlDefinition *focused() const override;
    void focus(const ControlDefinition *control) override;
    void runAsClick(const std::function<void()> &handler) override;
    void copy(std::string_view text) override;
    bool openMenu(const ControlDefinition &box) override;

    Win32Form &m_form;
    HWND m_field = nullptr;
    HWND m_answer = nullptr;
};

} // namespace forms
