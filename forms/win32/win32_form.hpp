// SPDX-License-Identifier: MIT
// A form realised with Win32's own controls from its definition (group boxes for frames, push
// buttons, edits, static labels, an owner-drawn picture), scaled from twips at its monitor's DPI.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/form.hpp"
#include "forms/win32/accessibility.hpp"
#include "forms/win32/find_row.hpp"
#include "forms/win32/handles.hpp"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace forms {

namespace win32 {
// A child window of `parent`, made hidden unless `style` says WS_VISIBLE.
HWND createChild(HWND parent, int id, const wchar_t *className, DWORD style, DWORD exStyle = 0,
                 const std::wstring &text = {}, const RECT &place = {});
// Runs one of the program's handlers, if any; an error that leaves it ends the program, reported.
void runHandler(const std::function<void()> &handler);
// `font` at `dpi` and `scale`, in the first of Windows' substitutes for its face (forms/core's face
// table) that the system has, else in its face as named, for GDI's font mapper to choose from.
[[nodiscard]] FontHandle createFont(const Font &font, unsigned dpi, double scale);
} // namespace win32

class Win32Form final : public Form {
public:
    // Builds the window, hidden, and all its controls, at `dpi` (0: the DPI of the monitor it
    // opens on), sized to fit the monitor's work area.
    explicit Win32Form(const FormDefinition &definition, unsigned dpi = 0);
    ~Win32Form() override;

    [[nodiscard]] std::string_view name() const override { return m_definition.name; }
    [[nodiscard]] Control *findControl(std::string_view name) override;
    bool onClick(std::string_view control, std::function<void()> handler) override;
    // Raised as a UI Automation notification on the focused control.
    void announce(std::string_view message) override;
    // A row under the controls, made when first opened (Ctrl+F).
    [[nodiscard]] Win32FindRow *findRow() override { return &m_findRow; }

    // The top-level window; null once it has been destroyed.
    [[nodiscard]] HWND window() const { return m_window; }
    // The named control's window, or null.
    [[nodiscard]] HWND handle(std::string_view name) const;
    [[nodiscard]] unsigned dpi() const { return m_dpi; }

    // Shows the window with the keyboard focus on its first control in tab order.
    void show(int showCommand = SW_SHOWNORMAL);

    // Gives a queued message its meaning in the form (its own keys, then the dialog keys) before
    // it is dispatched. True when it was handled here.
    bool translate(MSG &message);

private:
    friend class Win32FindRow; // lays itself out as the form does, and finds controls through it

    struct Item {
        const ControlDefinition *definition = nullptr;
        HWND hwnd = nullptr;
        std::unique_ptr<Control> control;
        std::function<void()> click;
    };

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The item of the control's window, where it is one of the form's (of that kind, if given).
    [[nodiscard]] Item *itemOf(HWND control, std::optional<ControlKind> kind = std::nullopt);
    void createControls();
    // The client area's size at `scale` times its designed size at the form's DPI, and the
    // window's size that gives it.
    [[nodiscard]] std::pair<SIZE, SIZE> sizesAt(double scale) const;
    using Fonts = std::vector<std::pair<Font, win32::FontHandle>>;
    // `font` as made for the current layout; null where none was.
    [[nodiscard]] HFONT font(const Font &font) const;
    // Where a control lies in its parent at the current layout.
    [[nodiscard]] RECT placeOf(const ControlDefinition &control, bool topLevel) const;
    // Lays out for the client area's size, with new fonts and picture where the scale or DPI
    // changed, and places and fonts every control made so far.
    void scaleToWindow();
    // The picture in the size class nearest the size it is drawn at: doubled above 100 %.
    void loadPicture();
    // Has `frame` drawn as the classic group box in the form's colours, and pass on to the form
    // what its buttons tell it.
    static void adoptFrame(HWND frame);
    LRESULT colourControl(HDC dc, HWND control, int systemBackground);
    // A box's whole text where the box is too narrow to show it all: the tooltip it offers.
    [[nodiscard]] std::wstring tipOf(HWND box);
    // Makes the tooltip window, each box a tool whose text is asked for as it is shown.
    void makeTips();

    const FormDefinition &m_definition;
    HWND m_window = nullptr;
    std::vector<Item> m_items; // one per control, in definition order
    Fonts m_fonts; // the fonts drawn in now, each with its definition
    win32::Owned<HBITMAP, DeleteObject> m_picture; // in the size class of the current scale
    int m_pictureFactor = 0;
    HWND m_tips = nullptr; // the tooltip window, once the mouse is over a cut-off box
    std::wstring m_tip; // the text of the tip shown last
    win32::Annotations m_annotations;
    Win32FindRow m_findRow {*this};
    HWND m_lastFocus = nullptr; // given back when the window is active again
    unsigned m_dpi = 96;
    unsigned m_laidOutDpi = 0;
    SIZE m_laidOutSize {}; // the client area's size at the last layout
    double m_scale = 0; // the factor the controls are laid out at now (0: not yet)
    bool m_destroying = false;
};

// Runs the thread's message loop for the form until it is closed or an untrapped error ends the
// program; returns the exit status.
int runEventLoop(Win32Form &form);

} // namespace forms
