// SPDX-License-Identifier: MIT
// The form's window: registered, opened at a size that fits the monitor, its controls placed and
// scaled from twips at its DPI, and what the runtime asks of the form.
#include "forms/win32/win32_form.hpp"

#include "forms/core/controls.hpp"
#include "forms/core/scaling.hpp"
#include "forms/win32/wide.hpp"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace forms {

using win32::widen;

namespace {

constexpr const wchar_t *kFormClass = L"forms.Form";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT; // Tab and Shift+Tab go into the frames' buttons
constexpr unsigned kDesignDpi = 96;

// user32's, where entries that Windows 10 (1607) brought are looked up: typed by the SDK's own
// declarations, never imported, so that older systems still start.
const HMODULE kUser32 = GetModuleHandleW(L"user32.dll");

// The DPI the window is drawn at: its monitor's (for null, the system's).
unsigned windowDpi(HWND window)
{
    static const auto getDpiForWindow
        = win32::entryOf<decltype(&GetDpiForWindow)>(kUser32, "GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
    if (dpi != 0) {
        return dpi;
    }
    const int system = GetDeviceCaps(win32::WindowDc(nullptr).get(), LOGPIXELSY);
    return system > 0 ? static_cast<unsigned>(system) : kDesignDpi;
}

// The work area (the screen less the taskbar) of the window's monitor; for null, the primary's.
RECT workAreaOf(HWND window)
{
    MONITORINFO info {.cbSize = sizeof(MONITORINFO)};
    GetMonitorInfoW(window != nullptr ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                      : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY),
                    &info);
    return info.rcWork;
}

} // namespace

Win32Form::Win32Form(const FormDefinition &definition, unsigned dpi)
    : m_definition(definition)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Registered once; where that failed, no window is made below.
    [[maybe_unused]] static const bool registered = [instance] {
        const INITCOMMONCONTROLSEX controls {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = instance;
        // The program's first icon resource, as Explorer shows it; the system takes the small
        // icon from the same resource.
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // NOLINTNEXTLINE(performance-no-int-to-ptr): a system colour index is how it is given
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    // The client area's size, and the window's, on a monitor with this work area: the designed
    // size where there is room for it, else scaled down in proportion to fit.
    const auto opening = [this](const RECT &work) {
        const auto [designed, outer] = sizesAt(1);
        return sizesAt(openingScale(designed.cx, designed.cy,
                                    work.right - work.left - (outer.cx - designed.cx),
                                    work.bottom - work.top - (outer.cy - designed.cy)));
    };
    // Made at its size for the primary monitor, where it opens unless told otherwise.
    m_dpi = dpi != 0 ? dpi : windowDpi(nullptr);
    const SIZE opened = opening(workAreaOf(nullptr)).second;
    CreateWindowExW(kExStyle, kFormClass, widen(definition.caption).c_str(), kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, opened.cx, opened.cy, nullptr, nullptr, instance, this);
    if (m_window == nullptr) {
        return;
    }
    m_dpi = dpi != 0 ? dpi : windowDpi(m_window);
    const RECT work = workAreaOf(m_window);
    const SIZE client = opening(work).first;
    // The frame as drawn may differ from what was reckoned (a DPI given for a test, a theme): the
    // client area is what must have the size.
    RECT placed {};
    GetWindowRect(m_window, &placed);
    RECT inner {};
    GetClientRect(m_window, &inner);
    const SIZE size {client.cx + placed.right - placed.left - inner.right,
                     client.cy + placed.bottom - placed.top - inner.bottom};
    const auto x
        = std::clamp<LONG>(placed.left, work.left, std::max(work.left, work.right - size.cx));
    const auto y
        = std::clamp<LONG>(placed.top, work.top, std::max(work.top, work.bottom - size.cy));
    if (const RECT wanted {x, y, x + size.cx, y + size.cy}; EqualRect(&wanted, &placed) == FALSE) {
        SetWindowPos(m_window, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Laid out for the size it has now, unless its size messages did so already; then its
    // controls are made, each at its place and in its font.
    scaleToWindow();
    createControls();
}

Win32Form::~Win32Form()
{
    m_destroying = true;
    // Annotations go before their windows, as the annotation service asks.
    m_annotations.clear();
    DestroyWindow(m_window); // none where the user closed it
}

std::pair<SIZE, SIZE> Win32Form::sizesAt(double scale) const
{
    const SIZE client {twipsToPixels(m_definition.clientWidth, m_dpi, scale),
                       twipsToPixels(m_definition.clientHeight, m_dpi, scale)};
    static const auto adjustForDpi
        = win32::entryOf<decltype(&AdjustWindowRectExForDpi)>(kUser32, "AdjustWindowRectExForDpi");
    RECT outer {0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&outer, kStyle, FALSE, kExStyle, m_dpi);
    } else {
        AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    }
    return {client, {outer.right - outer.left, outer.bottom - outer.top}};
}

RECT Win32Form::placeOf(const ControlDefinition &control, bool topLevel) const
{
    const auto px = [this](Twips twips) { return twipsToPixels(twips, m_dpi, m_scale); };
    // The controls in the window are centred in its client area.
    const auto margin = [topLevel](LONG room, LONG used) {
        return topLevel ? std::max<LONG>(0, (room - used) / 2) : 0;
    };
    const LONG left = px(control.left) + margin(m_laidOutSize.cx, px(m_definition.clientWidth));
    const LONG top = px(control.top) + margin(m_laidOutSize.cy, px(m_definition.clientHeight));
    return {left, top, left + px(control.width), top + px(control.height)};
}

HFONT Win32Form::font(const Font &font) const
{
    const auto found = std::ranges::find(m_fonts, font, &Fonts::value_type::first);
    return found != m_fonts.end() ? found->second.get() : nullptr;
}

void Win32Form::scaleToWindow()
{
    RECT client {};
    if (m_window == nullptr || GetClientRect(m_window, &client) == FALSE || client.right <= 0
        || client.bottom <= 0) {
        return; // minimised
    }
    // An open find row takes its height at the foot; the controls keep the rest.
    const SIZE room {client.right, client.bottom - m_findRow.addedHeight()};
    // A size message that leaves the size as it was (ShowWindow sends one) has nothing to do.
    if (room.cx == m_laidOutSize.cx && room.cy == m_laidOutSize.cy && m_dpi == m_laidOutDpi) {
        return;
    }
    const SIZE designed = sizesAt(1).first;
    const double scale = scaleForClientArea(room.cx, room.cy, designed.cx, designed.cy);
    const bool refont = scale != m_scale || m_dpi != m_laidOutDpi;
    m_scale = scale;
    m_laidOutDpi = m_dpi;
    m_laidOutSize = room;
    // The fonts the controls draw in until each is given its new one, let go last.
    Fonts retired;
    if (refont) {
        const auto make = [&](const Font &font) {
            if (!font.face.empty()
                && std::ranges::find(retired, font, &Fonts::value_type::first) == retired.end()) {
                retired.emplace_back(font, win32::createFont(font, m_dpi, m_scale));
            }
        };
        for (const ControlDefinition &control : m_definition.controls) {
            make(control.font);
        }
        make(m_definition.font);
        make(Win32FindRow::answerFont(m_definition));
        std::swap(retired, m_fonts);
        loadPicture();
    }
    if (m_items.empty()) {
        return; // the controls are made next, each at its place and in its font
    }
    for (const Item &item : m_items) {
        const RECT place = placeOf(*item.definition, GetParent(item.hwnd) == m_window);
        SetWindowPos(item.hwnd, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (refont && !item.definition->font.face.empty()) {
            SendMessageW(item.hwnd, WM_SETFONT,
                         reinterpret_cast<WPARAM>(font(item.definition->font)), FALSE);
        }
    }
    m_findRow.layOut(refont);
    RedrawWindow(m_window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void Win32Form::loadPicture()
{
    const auto controls = m_definition.controls;
    const auto picture
        = std::ranges::find(controls, ControlKind::Picture, &ControlDefinition::kind);
    const int factor = m_dpi * m_scale > kDesignDpi ? 2 : 1;
    if (picture == controls.end() || factor == m_pictureFactor) {
        return;
    }
    // The bitmap resource is named as the picture's file ("banner.bmp"), its doubled variant with
    // "@2x" before the extension ("banner@2x.bmp"), and the plain one stands in for it.
    const std::string_view path = picture->picture;
    const std::string file(path.substr(path.find_last_of("/\\") + 1)); // npos + 1: the whole path
    const auto load = [](const std::string &name) {
        return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), widen(name).c_str(),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    };
    HBITMAP bitmap = factor == 2
        ? load(std::string(file).insert(std::min(file.rfind('.'), file.size()), "@2x"))
        : nullptr;
    m_picture.reset(bitmap != nullptr ? bitmap : load(file));
    m_pictureFactor = factor;
}

Control *Win32Form::findControl(std::string_view name)
{
    const auto at = controlIndex(m_definition.controls, name);
    return at && *at < m_items.size() ? m_items[*at].control.get() : nullptr;
}

HWND Win32Form::handle(std::string_view name) const
{
    const auto at = controlIndex(m_definition.controls, name);
    HWND found = at && *at < m_items.size() ? m_items[*at].hwnd : nullptr;
    return found != nullptr && IsWindow(found) != FALSE ? found : nullptr;
}

bool Win32Form::onClick(std::string_view control, std::function<void()> handler)
{
    const auto at = controlIndex(m_definition.controls, control, ControlKind::CommandButton);
    if (!at || *at >= m_items.size()) {
        return false;
    }
    m_items[*at].click = std::move(handler);
    return true;
}

void Win32Form::announce(std::string_view message)
{
    HWND focus = GetFocus();
    win32::announceThroughAutomation(IsChild(m_window, focus) != FALSE ? focus : m_window, message);
}

void Win32Form::show(int showCommand)
{
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    const std::vector<std::size_t> order = tabOrder(m_definition.controls);
    if (!order.empty() && order.front() < m_items.size()) {
        m_lastFocus = m_items[order.front()].hwnd;
        SetFocus(m_lastFocus);
    }
}

} // namespace forms
