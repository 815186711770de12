// SPDX-License-Identifier: MIT
// A form's find row over Win32: an edit and a static answer line under the form's controls, made
// on first use; thick frames drawn over the marked controls; and the find's keys and the boxes'
// context menu routed by the core's rules (forms/core/find_row.hpp).
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/find_row.hpp"
#include "forms/win32/handles.hpp"

#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace forms {

class Win32Form;

namespace win32 {
class Annotations;
} // namespace win32

class Win32FindRow final : public FindRow {
public:
    Win32FindRow(Win32Form &form, const FormDefinition &definition,
                 win32::Annotations &annotations);
    ~Win32FindRow() override;

    void open(std::string_view text) override;
    void close() override;
    void mark(std::span<const Mark> marks) override;
    void showAnswer(std::string_view line) override;

    // The pixels the open row adds under the controls; 0 when closed.
    [[nodiscard]] int addedHeight() const { return isOpen() ? m_height : 0; }
    // Places the open row at the foot of the client area; the form calls it after a layout.
    void layOut();

    // A right click on a component box, as the message loop takes it: true when it opened the
    // boxes' menu.
    bool translate(const MSG &message);
    // Does what the key table's `action` asks of the find for a key pressed with the focus on
    // `focused`; false when the action is not the find's or has nothing to act on.
    bool act(KeyAction action, HWND focused);
    // Where the focus is on `control`, the row's field included.
    [[nodiscard]] FocusOn focusOn(HWND control) const;
    // A notification a control of the row sent the form; true when it was the row's.
    bool command(HWND control, WORD code);

    // The row's field and answer line; null before the row is first opened.
    [[nodiscard]] HWND field() const { return m_field; }
    [[nodiscard]] HWND answer() const { return m_answer; }

private:
    void makeRow();
    // Where the open row's parts lie in the client area now.
    [[nodiscard]] FindRowPlace place() const;
    // Places the answer line, its lines in the middle of the row's height.
    void placeAnswer();
    // The window grows by the row as it opens, and shrinks by it as it closes.
    void growBy(int pixels) const;
    void step(FindStep step) override;
    void focus(const ControlDefinition &button) override;
    [[nodiscard]] std::string fieldText() const override;
    void copy(std::string_view text) override;
    bool openMenu(const ControlDefinition &box) override;
    void contextMenu(HWND box, POINT at);
    // Gives the controls the descriptions the marks call for now (see FindRow::describe).
    void describeMarks();
    static void CALLBACK paused(HWND field, UINT message, UINT_PTR timer, DWORD time);

    Win32Form &m_form;
    const FormDefinition &m_definition;
    win32::Annotations &m_annotations;
    HWND m_field = nullptr;
    HWND m_answer = nullptr;
    win32::FontHandle m_fieldFont;
    win32::FontHandle m_answerFont;
    double m_fontScale = 0; // the scale the row's fonts were made at
    unsigned m_fontDpi = 0;
    HWND m_focusBefore = nullptr;
    int m_height = 0; // the pixels the row adds while open
    bool m_settingText = false; // the field's text is being set by the row, not typed
};

} // namespace forms
