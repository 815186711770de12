// SPDX-License-Identifier: MIT
// Makes the form's controls as Win32 windows, each in its container, in the order that gives the
// dialog keys the tab order and each control its place in the drawing.
#include "forms/win32/win32_form.hpp"

#include "forms/core/controls.hpp"
#include "forms/win32/wide.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace forms {

using win32::widen;

namespace {

constexpr int kFirstControlId = 1000; // clear of IDOK and IDCANCEL, which the dialog keys send

// The runtime's text box over an edit: the raw operations the core's checked write is made of.
class Win32TextBox final : public CheckedTextBox {
public:
    Win32TextBox(std::string_view name, HWND edit)
        : CheckedTextBox(std::string(name))
        , m_edit(edit)
    {
    }

private:
    [[nodiscard]] bool present() const override { return IsWindow(m_edit) != FALSE; }
    [[nodiscard]] std::string rawText() const override
    {
        return win32::narrow(win32::textOf(m_edit));
    }
    void setRawText(std::string_view text) override { SetWindowTextW(m_edit, widen(text).c_str()); }
    void showBeginning() override
    {
        SendMessageW(m_edit, EM_SETSEL, 0, 0);
        SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
    }

    HWND m_edit;
};

// An access key would appear where a caption holds '&'; captions are shown as they stand.
std::wstring literalCaption(std::string_view text)
{
    std::wstring caption = widen(text);
    for (auto at = caption.find(L'&'); at != std::wstring::npos; at = caption.find(L'&', at + 2)) {
        caption.insert(at, 1, L'&');
    }
    return caption;
}

// The window class and styles each kind of control is made with.
struct Realisation {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
    bool prefixed; // its text is drawn with '&' before an access key
};

constexpr Realisation realisationOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Picture:
        return {L"STATIC", SS_OWNERDRAW, 0, false};
    case ControlKind::Label: // left-aligned in the size given, on one line, '&' shown as it stands
        return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, false};
    case ControlKind::Frame:
        return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, true};
    case ControlKind::TextBox:
        return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, false};
    case ControlKind::CommandButton:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, true};
    }
    return {L"STATIC", 0, 0, false};
}

// A child is made at the bottom of its parent's z-order; the dialog keys walk the z-order, into
// frames, and each child is drawn over those after it. So in each parent the focusable controls and
// the frames come first, by tab index; the others follow, the last defined first, so each lies over
// those defined before it (the frames over the picture's foot, the boxes over the headings' edge).
std::vector<std::size_t> creationOrder(std::span<const ControlDefinition> controls,
                                       const std::vector<std::optional<std::size_t>> &parents)
{
    // A container, defined before what it holds, is one deeper than its parent and made first.
    std::vector<std::size_t> depth(parents.size());
    for (std::size_t i = 0; i < parents.size(); ++i) {
        depth[i] = parents[i] ? depth[*parents[i]] + 1 : 0;
    }
    const auto key = [&](std::size_t i) {
        const ControlDefinition &control = controls[i];
        const bool tabbed = takesFocus(control.kind) || control.kind == ControlKind::Frame;
        return std::tuple {depth[i], !tabbed,
                           tabbed ? std::ptrdiff_t {control.tabIndex}
                                  : -static_cast<std::ptrdiff_t>(i)};
    };
    std::vector<std::size_t> order(parents.size());
    std::iota(order.begin(), order.end(), std::size_t {0});
    std::ranges::sort(order, std::less {}, key);
    return order;
}

} // namespace

HWND win32::createChild(HWND parent, int id, const wchar_t *className, DWORD style, DWORD exStyle,
                        const std::wstring &text, const RECT &place)
{
    return CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | style, place.left,
                           place.top, place.right - place.left, place.bottom - place.top, parent,
                           // NOLINTNEXTLINE(performance-no-int-to-ptr): a child's id
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void Win32Form::createControls()
{
    const auto controls = m_definition.controls;
    const std::vector<std::optional<std::size_t>> parents = containers(controls);
    m_items.resize(controls.size());
    for (const std::size_t i : creationOrder(controls, parents)) {
        const ControlDefinition &control = controls[i];
        HWND parent = parents[i] ? m_items[*parents[i]].hwnd : m_window;
        const Realisation realisation = realisationOf(control.kind);
        HWND made = win32::createChild(
            parent, kFirstControlId + static_cast<int>(i), realisation.className,
            WS_VISIBLE | WS_CLIPSIBLINGS | realisation.style, realisation.exStyle,
            realisation.prefixed ? literalCaption(control.text) : widen(control.text),
            placeOf(control, parent == m_window));
        if (HFONT drawn = font(control.font); drawn != nullptr) {
            SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(drawn), FALSE);
        }
        if (control.kind == ControlKind::Frame) {
            adoptFrame(made);
        } else if (control.kind == ControlKind::TextBox) {
            // No length limit (the edit's own default is 32767 characters).
            SendMessageW(made, EM_SETLIMITTEXT, 0, 0);
        }
        m_annotations.annotate(made, accessibleName(control), control.accessibleDescription);
        m_items[i] = {&control,
                      made,
                      control.kind == ControlKind::TextBox
                          ? std::make_unique<Win32TextBox>(control.name, made)
                          : std::make_unique<Control>(std::string(control.name)),
                      {}};
    }
}

} // namespace forms
