// SPDX-License-Identifier: MIT
// Tooltips on text boxes whose text is cut off: a box too narrow for its text offers the whole
// text as its tooltip, and a box that shows all of its text offers none.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace forms::win32 {

class BoxTips {
public:
    // The tooltips of the boxes in `form`'s window.
    explicit BoxTips(HWND form)
        : m_form(form)
    {
    }
    ~BoxTips();
    BoxTips(const BoxTips &) = delete;
    BoxTips &operator=(const BoxTips &) = delete;
    BoxTips(BoxTips &&) = delete;
    BoxTips &operator=(BoxTips &&) = delete;

    void add(HWND box);
    // Works the box's tooltip out again, after its text, size or font changed.
    void update(HWND box);
    void updateAll();
    // The tooltip the box offers now; empty when it offers none.
    [[nodiscard]] std::wstring tip(HWND box) const;

private:
    void makeWindow();
    // Sends the tooltip window a tool message for the box and its tooltip's text.
    void send(UINT message, std::pair<HWND, std::wstring> &entry) const;

    HWND m_form;
    HWND m_tips = nullptr; // made when a box first has a tooltip to offer
    std::vector<std::pair<HWND, std::wstring>> m_boxes; // each box and its tooltip's text
};

} // namespace forms::win32
