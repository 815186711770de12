// SPDX-License-Identifier: MIT
// The colours the form's controls are drawn in, and its frames drawn as the classic group box.
#include "forms/win32/win32_form.hpp"

#include "forms/core/contrast.hpp"
#include "forms/win32/wide.hpp"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace forms {

namespace {

// The button class's own procedure, which every frame (all made here) hands on to.
WNDPROC g_buttonProcedure = nullptr;

// Draws what `dc` asks of a frame, as the classic group box, its caption in the colour the form
// gives it: a group box drawn by a visual style, or by Wine, keeps its caption in the theme's
// colour. A themed button asks its parent for the pixels around its rounded corners: inside the
// frame's edge that is its background alone, so only a request that reaches the edge or the
// caption has them drawn.
void drawFrame(HWND frame, HWND form, HDC dc)
{
    RECT area {};
    GetClientRect(frame, &area);
    // Opaque: it hides what lies under it, such as the foot of the picture. The form's brush also
    // sets the caption's colour in `dc`.
    const LRESULT brush = SendMessageW(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(frame));
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the brush the form answers with
    FillRect(dc, &area, reinterpret_cast<HBRUSH>(brush));
    const win32::Selection font = win32::select(dc, win32::fontOf(frame));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    // The caption's line (the edge's upper line across it), and the edge's two pixels round it.
    RECT inside = area;
    InflateRect(&inside, -2, -2);
    inside.top = std::max(inside.top, metrics.tmHeight);
    RECT wanted {};
    GetClipBox(dc, &wanted);
    RECT beyond {};
    if (SubtractRect(&beyond, &wanted, &inside) == FALSE) {
        return;
    }
    RECT edge = area;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    const std::wstring caption = win32::textOf(frame);
    if (!caption.empty()) {
        // Where the classic group box puts it: a character's width in, on a gap in the edge.
        RECT text {area.left + metrics.tmAveCharWidth, area.top, area.right,
                   area.top + metrics.tmHeight};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_LEFT | DT_TOP | DT_CALCRECT);
        text.right = std::min(text.right + 2, area.right);
        text.left -= 2;
        ExtTextOutW(dc, text.left, text.top, ETO_OPAQUE, &text, L"", 0, nullptr);
        text.left += 2;
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_LEFT | DT_TOP | DT_HIDEPREFIX);
    }
}

// What a frame's buttons tell it goes on to the form. Each sends its frame a dozen messages a paint
// and comctl32's subclassing reads a window property at each, which Wine keeps in its server: so
// the frame is subclassed the classic way.
LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND formWindow = GetParent(frame);
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
        return SendMessageW(formWindow, message, wParam, lParam);
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT paint {};
        drawFrame(frame, formWindow, BeginPaint(frame, &paint));
        EndPaint(frame, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the device context to draw into
        drawFrame(frame, formWindow, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        break;
    }
    return CallWindowProcW(g_buttonProcedure, frame, message, wParam, lParam);
}

} // namespace

void Win32Form::adoptFrame(HWND frame)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): a window procedure is set as a long
    auto *previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frameProcedure)));
    if (previous != nullptr) { // else the frame kept its own and never calls frameProcedure
        g_buttonProcedure = previous;
    }
}

// A fixed text colour worked out against the system's background as it is drawn, so a change of
// colours or of high-contrast theme is followed at the next paint.
LRESULT Win32Form::colourControl(HDC dc, HWND control, int systemBackground)
{
    const COLORREF background = GetSysColor(systemBackground);
    COLORREF text
        = GetSysColor(systemBackground == COLOR_WINDOW ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
    const Item *item = itemOf(control);
    if (item != nullptr && item->definition->colour) {
        const Rgb shown
            = readableOn(*item->definition->colour,
                         {GetRValue(background), GetGValue(background), GetBValue(background)});
        text = RGB(shown.red, shown.green, shown.blue);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, background);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(systemBackground));
}

} // namespace forms
