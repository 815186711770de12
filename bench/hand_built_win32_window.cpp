// SPDX-License-Identifier: MIT
// The main window built by hand in plain Win32, as icatlas.exe's start-up baseline: the same 73
// controls with the same texts, places, fonts, colours, picture, accessible names and tab order,
// made the straightforward way (each control created at its place with its font, the model buttons
// beside their group boxes as a dialog template places them), with no forms runtime in between.
// scripts/bench-windows times it against icatlas.exe and the empty window, run by run, under Wine.
// It reads the window's definition only as the literals such code would hold; the conversions a
// developer does by hand (twips to pixels at 96 DPI, the face drawn for "MS Sans Serif", the
// shades of blue and red the program draws on the standard colours) are done here the same way.
#include "ui/main_window.hpp"

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using forms::ControlDefinition;
using forms::ControlKind;

constexpr int kFirstId = 1000;

int px(forms::Twips twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

std::wstring wide(std::string_view text)
{
    std::wstring result(text.size() * 2, L'&');
    std::size_t size = 0;
    for (const char c : text) { // every caption is ASCII
        result[size++] = static_cast<wchar_t>(c);
        if (c == '&') {
            ++size; // shown as it stands, not as an access key
        }
    }
    result.resize(size);
    return result;
}

HFONT makeFont(const forms::Font &font)
{
    const int height = -static_cast<int>(std::lround(font.centipoints * 96 / 7200.0));
    // Small bold text without smoothing, so that its strokes are whole pixels.
    const DWORD quality = height > -16 ? NONANTIALIASED_QUALITY : CLEARTYPE_QUALITY;
    return CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE,
                       L"Arial");
}

// A group box drawn by a visual style (or by Wine) keeps its caption in the theme's colour: the
// frames draw themselves, opaque, as the classic group box with the caption in blue.
LRESULT CALLBACK groupBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR /*id*/, DWORD_PTR /*data*/)
{
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    if (message != WM_PAINT) {
        return DefSubclassProc(box, message, wParam, lParam);
    }
    PAINTSTRUCT paint {};
    HDC dc = BeginPaint(box, &paint);
    RECT area {};
    GetClientRect(box, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    RECT edge {area.left, area.top + metrics.tmHeight / 2, area.right, area.bottom};
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    wchar_t caption[64] {};
    const int length = GetWindowTextW(box, caption, 64);
    SIZE extent {};
    GetTextExtentPoint32W(dc, caption, length, &extent);
    RECT gap {metrics.tmAveCharWidth - 2, 0, metrics.tmAveCharWidth + extent.cx + 2,
              metrics.tmHeight};
    FillRect(dc, &gap, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, RGB(0, 0, 255));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    TextOutW(dc, metrics.tmAveCharWidth, 0, caption, length);
    SelectObject(dc, font);
    EndPaint(box, &paint);
    return 0;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        const int background = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
        auto *dc = reinterpret_cast<HDC>(wParam);
        const auto id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - kFirstId;
        const auto &controls = icatlas::ui::kForm1Controls;
        if (id >= 0 && id < static_cast<int>(controls.size())) {
            const ControlDefinition &control = controls[static_cast<std::size_t>(id)];
            if (control.colour == forms::kBlue) {
                SetTextColor(dc, RGB(0, 0, 255));
            } else if (control.colour == forms::kRed) {
                SetTextColor(dc, RGB(0xEE, 0, 0)); // #FF0000 reads at 4.5:1 on white no more
            }
        }
        SetBkColor(dc, GetSysColor(background));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        static HBITMAP banner = static_cast<HBITMAP>(LoadImageW(
            GetModuleHandleW(nullptr), L"banner.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        HDC source = CreateCompatibleDC(item->hDC);
        HGDIOBJ previous = SelectObject(source, banner);
        BitBlt(item->hDC, 0, 0, item->rcItem.right, item->rcItem.bottom, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
        return TRUE;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    const INITCOMMONCONTROLSEX common {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices *names = nullptr;
    CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                     reinterpret_cast<void **>(&names));

    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"HandBuiltWindow";
    RegisterClassExW(&windowClass);

    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame {0, 0, 642, 525};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, L"HandBuiltWindow",
                                  wide(icatlas::ui::kForm1.caption).c_str(), style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);

    const HFONT title = makeFont(icatlas::ui::kTitleFont);
    const HFONT large = makeFont(icatlas::ui::kFrameFont);
    const HFONT small = makeFont(icatlas::ui::kSmallFont);

    // Created in tab order, so the dialog keys walk them so (the buttons and boxes, then the group
    // boxes under the buttons), then the texts and the picture under everything, the last
    // defined first, as the design lays them over each other.
    const auto &controls = icatlas::ui::kForm1Controls;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        order.push_back(i);
    }
    const auto rank = [&controls](std::size_t i) {
        switch (controls[i].kind) {
        case ControlKind::CommandButton:
        case ControlKind::TextBox:
            return 0;
        case ControlKind::Frame:
            return 1;
        default:
            return 2;
        }
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (rank(a) != rank(b)) {
            return rank(a) < rank(b);
        }
        return rank(a) < 2 ? controls[a].tabIndex < controls[b].tabIndex : a > b;
    });
    HWND first = nullptr;
    for (const std::size_t i : order) {
        const ControlDefinition &control = controls[i];
        int x = px(control.left);
        int y = px(control.top);
        if (!control.container.empty()) {
            const ControlDefinition *box = forms::findDefinition(controls, control.container);
            x += px(box->left);
            y += px(box->top);
        }
        const wchar_t *className = L"STATIC";
        DWORD controlStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (control.kind) {
        case ControlKind::Picture:
            controlStyle |= SS_OWNERDRAW;
            break;
        case ControlKind::Label:
            controlStyle |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
            break;
        case ControlKind::Frame:
            className = L"BUTTON";
            controlStyle |= BS_GROUPBOX;
            break;
        case ControlKind::TextBox:
            className = L"EDIT";
            controlStyle |= ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::CommandButton:
            className = L"BUTTON";
            controlStyle |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        }
        HWND made = CreateWindowExW(exStyle, className, wide(control.text).c_str(), controlStyle, x,
                                    y, px(control.width), px(control.height), window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)),
                                    instance, nullptr);
        if (control.kind == ControlKind::Frame) {
            SetWindowSubclass(made, groupBoxProcedure, 1, 0);
        }
        if (control.font == icatlas::ui::kTitleFont) {
            SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(title), FALSE);
        } else if (control.font == icatlas::ui::kFrameFont) {
            SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(large), FALSE);
        } else if (control.font == icatlas::ui::kSmallFont) {
            SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(small), FALSE);
        }
        if (names != nullptr) {
            const std::wstring name = wide(forms::accessibleName(control));
            names->SetHwndPropStr(made, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  PROPID_ACC_NAME, name.c_str());
        }
        if (first == nullptr && rank(i) == 0) {
            first = made;
        }
    }

    ShowWindow(window, show);
    UpdateWindow(window);
    SetFocus(first);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message) == FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
