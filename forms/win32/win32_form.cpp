// SPDX-License-Identifier: MIT
// Builds Win32 controls from a form definition and adapts them to the runtime's control
// interface: creation, tab order, colours, scaling with the window and its DPI, and clicks.
#include "forms/win32/win32_form.hpp"

#include "forms/core/contrast.hpp"
#include "forms/core/scaling.hpp"
#include "forms/start/runtime.hpp"
#include "forms/win32/dpi.hpp"
#include "forms/win32/wide.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace forms {

using win32::widen;

namespace {

constexpr const wchar_t *kFormClass = L"forms.Form";
constexpr int kFirstControlId = 1000; // clear of IDOK and IDCANCEL, which the dialog keys send
constexpr UINT_PTR kFrameSubclass = 1;
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Tab and Shift+Tab go into the frames' buttons.
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// An access key would appear where a caption holds '&'; captions are shown as they stand.
std::wstring literalCaption(std::string_view text)
{
    std::wstring caption;
    for (const wchar_t c : widen(text)) {
        caption += c;
        if (c == L'&') {
            caption += L'&';
        }
    }
    return caption;
}

std::wstring textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

Rgb toRgb(COLORREF colour)
{
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

class Win32TextBox final : public TextBox {
public:
    Win32TextBox(std::string_view name, HWND edit)
        : TextBox(std::string(name))
        , m_edit(edit)
    {
    }

    ResultCode setText(std::string_view text) override
    {
        if (IsWindow(m_edit) == FALSE) {
            return ResultCode::ObjectRequired;
        }
        const std::wstring value = widen(text);
        if (textOf(m_edit) != value) {
            SetWindowTextW(m_edit, value.c_str());
        }
        // A long text shows its beginning, with nothing selected, as a box just filled should.
        SendMessageW(m_edit, EM_SETSEL, 0, 0);
        SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
        // The box may refuse or alter the text: only the exact text counts as written.
        return textOf(m_edit) == value ? ResultCode::Ok : ResultCode::InvalidPropertyValue;
    }

    [[nodiscard]] std::string text() const override
    {
        return IsWindow(m_edit) != FALSE ? win32::narrow(textOf(m_edit)) : std::string();
    }

private:
    HWND m_edit;
};

// Any other control: known by name.
class Win32Control final : public Control {
public:
    using Control::Control;
};

// Draws a frame as the classic group box, its caption in the colour the form gives it (through
// WM_CTLCOLORSTATIC, as for every static text): a group box drawn by a visual style, or by Wine,
// keeps its caption in the theme's colour.
void paintFrame(HWND frame, HWND form)
{
    PAINTSTRUCT paint {};
    HDC dc = BeginPaint(frame, &paint);
    RECT area {};
    GetClientRect(frame, &area);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the brush the form answers with
    auto *brush = reinterpret_cast<HBRUSH>(SendMessageW(
        form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(frame)));
    // Opaque: it hides what lies under it, such as the foot of the picture.
    FillRect(dc, &area, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the frame's font
    HGDIOBJ previous
        = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(frame, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    RECT edge = area;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(frame)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextW(frame, caption.data(), static_cast<int>(caption.size()))));
    if (!caption.empty()) {
        // Where the classic group box puts it: a character's width in, on a gap in the edge.
        RECT text {area.left + metrics.tmAveCharWidth, area.top, area.right,
                   area.top + metrics.tmHeight};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_LEFT | DT_TOP | DT_CALCRECT);
        text.right = std::min(text.right + 2, area.right);
        text.left -= 2;
        SetBkMode(dc, OPAQUE);
        ExtTextOutW(dc, text.left, text.top, ETO_OPAQUE, &text, L"", 0, nullptr);
        text.left += 2;
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_LEFT | DT_TOP | DT_HIDEPREFIX);
    }
    SelectObject(dc, previous);
    EndPaint(frame, &paint);
}

// A frame holds its buttons as a dialog holds controls: what they tell their parent goes on to the
// form.
LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR form)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the form's window, as given to the subclass
    HWND formWindow = reinterpret_cast<HWND>(form);
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
    case WM_PAINT:
        paintFrame(frame, formWindow);
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(frame, frameProcedure, kFrameSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(frame, message, wParam, lParam);
}

HICON programIcon(int width, int height)
{
    // The program's icon is its first icon resource, as Explorer shows it.
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                         width, height, LR_DEFAULTCOLOR));
}

} // namespace

FormKey formKey(WPARAM virtualKey, bool control, bool alt, bool focusOnButton)
{
    if (virtualKey == VK_RETURN && !control && !alt && focusOnButton) {
        return FormKey::PressFocusedButton;
    }
    if (control && !alt && (virtualKey == 'Q' || virtualKey == 'W')) {
        return FormKey::Close;
    }
    if (virtualKey == VK_ESCAPE) {
        return FormKey::Ignore;
    }
    return FormKey::Pass;
}

Win32Form::Win32Form(const FormDefinition &definition, unsigned dpi)
    : m_definition(definition)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    static const bool registered = [instance] {
        const INITCOMMONCONTROLSEX controls {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = programIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        windowClass.hIconSm
            = programIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // NOLINTNEXTLINE(performance-no-int-to-ptr): a system colour index is how it is given
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) {
        return;
    }
    CreateWindowExW(kFormExStyle, kFormClass, widen(definition.caption).c_str(), kFormStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                    instance, this);
    if (m_window == nullptr) {
        return;
    }
    m_dpi = dpi != 0 ? dpi : win32::windowDpi(m_window);
    m_tips = std::make_unique<win32::BoxTips>(m_window);
    // The designed size where the monitor has room for it, else scaled down in proportion to fit.
    const SIZE designed = designedSize();
    const SIZE outer = win32::windowSizeFor(designed, kFormStyle, kFormExStyle, m_dpi);
    const RECT work = win32::workAreaOf(m_window);
    const double scale
        = openingScale(designed.cx, designed.cy,
                       static_cast<int>(work.right - work.left - (outer.cx - designed.cx)),
                       static_cast<int>(work.bottom - work.top - (outer.cy - designed.cy)));
    const SIZE client {static_cast<LONG>(std::lround(designed.cx * scale)),
                       static_cast<LONG>(std::lround(designed.cy * scale))};
    SIZE size = win32::windowSizeFor(client, kFormStyle, kFormExStyle, m_dpi);
    RECT placed {};
    GetWindowRect(m_window, &placed);
    const auto x
        = std::clamp<LONG>(placed.left, work.left, std::max(work.left, work.right - size.cx));
    const auto y
        = std::clamp<LONG>(placed.top, work.top, std::max(work.top, work.bottom - size.cy));
    SetWindowPos(m_window, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame may differ from what was reckoned (a DPI given for a test, a theme): the client
    // area is what must have the size.
    RECT inner {};
    GetClientRect(m_window, &inner);
    if (inner.right != client.cx || inner.bottom != client.cy) {
        size.cx += client.cx - inner.right;
        size.cy += client.cy - inner.bottom;
        SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    // The controls are made once the window has its size, and laid out once.
    createControls();
    scaleToWindow(true);
}

Win32Form::~Win32Form()
{
    m_destroying = true;
    m_controls.clear();
    // Annotations go before their windows, as the annotation service asks.
    m_annotations.clear();
    m_tips.reset();
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

// The dialog keys move the focus through a window's children in their z-order, into frames that
// hold controls, and each child is drawn over those after it; a child is made at the bottom of its
// parent's z-order. So in each parent the controls that take the focus, and the frames that hold
// them, are made first, by tab index (Tab walks 0, 1, 2, ...); the others follow, the last defined
// first, so each lies over those defined before it, as the definition draws them (the frames over
// the picture's foot, the boxes over the headings' lower edge).
std::vector<std::size_t> Win32Form::creationOrder(const std::vector<std::ptrdiff_t> &parentOf) const
{
    const auto tabbed = [this](std::size_t i) {
        const ControlDefinition &control = m_definition.controls[i];
        return takesFocus(control.kind) || control.kind == ControlKind::Frame;
    };
    const auto childrenOf = [&](std::ptrdiff_t parent) {
        std::vector<std::size_t> children;
        for (std::size_t i = m_definition.controls.size(); i-- > 0;) {
            if (parentOf[i] == parent) {
                children.push_back(i); // the last defined first
            }
        }
        const auto rest = std::stable_partition(children.begin(), children.end(), tabbed);
        std::sort(children.begin(), rest, [this](std::size_t a, std::size_t b) {
            return m_definition.controls[a].tabIndex < m_definition.controls[b].tabIndex;
        });
        return children;
    };
    // Each container is made before what it holds.
    std::vector<std::size_t> order = childrenOf(-1);
    for (std::size_t next = 0; next < order.size(); ++next) {
        const auto inside = childrenOf(static_cast<std::ptrdiff_t>(order[next]));
        order.insert(order.end(), inside.begin(), inside.end());
    }
    return order;
}

void Win32Form::createControls()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto controls = m_definition.controls;
    // Each control's container among those defined before it; a container named later, or not at
    // all, leaves the control in the window.
    std::vector<std::ptrdiff_t> parentOf(controls.size(), -1);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        m_items.push_back({&controls[i], nullptr, {}});
        if (const auto at = check::indexOf(controls.first(i), controls[i].container)) {
            parentOf[i] = static_cast<std::ptrdiff_t>(*at);
        }
    }
    for (const std::size_t i : creationOrder(parentOf)) {
        const ControlDefinition &control = controls[i];
        HWND parent
            = parentOf[i] < 0 ? m_window : m_items[static_cast<std::size_t>(parentOf[i])].hwnd;
        const wchar_t *className = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        std::wstring text;
        switch (control.kind) {
        case ControlKind::Picture:
            style |= SS_OWNERDRAW;
            break;
        case ControlKind::Label:
            // Left-aligned in the size given, on one line, '&' shown as it stands.
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
            text = widen(control.text);
            break;
        case ControlKind::Frame:
            className = L"BUTTON";
            style |= BS_GROUPBOX | WS_CLIPCHILDREN;
            exStyle |= WS_EX_CONTROLPARENT;
            text = literalCaption(control.text);
            break;
        case ControlKind::TextBox:
            className = L"EDIT";
            style |= ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle |= WS_EX_CLIENTEDGE;
            text = widen(control.text);
            break;
        case ControlKind::CommandButton:
            className = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            text = literalCaption(control.text);
            break;
        }
        const auto id = static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i));
        HWND made = CreateWindowExW(exStyle, className, text.c_str(), style, 0, 0, 0, 0, parent,
                                    // NOLINTNEXTLINE(performance-no-int-to-ptr): a child's id
                                    reinterpret_cast<HMENU>(id), instance, nullptr);
        switch (control.kind) {
        case ControlKind::Frame:
            SetWindowSubclass(made, frameProcedure, kFrameSubclass,
                              reinterpret_cast<DWORD_PTR>(m_window));
            break;
        case ControlKind::TextBox:
            // No length limit (the edit's own default is 32767 characters).
            SendMessageW(made, EM_SETLIMITTEXT, 0, 0);
            m_tips->add(made);
            break;
        default:
            break;
        }
        m_annotations.annotate(made, accessibleName(control), control.accessibleDescription);
        m_items[i].hwnd = made;
    }
    for (const Item &item : m_items) {
        if (item.definition->kind == ControlKind::TextBox) {
            m_controls.push_back(std::make_unique<Win32TextBox>(item.definition->name, item.hwnd));
        } else {
            m_controls.push_back(
                std::make_unique<Win32Control>(std::string(item.definition->name)));
        }
    }
}

SIZE Win32Form::designedSize() const
{
    return {twipsToPixels(m_definition.clientWidth, m_dpi),
            twipsToPixels(m_definition.clientHeight, m_dpi)};
}

void Win32Form::scaleToWindow(bool force)
{
    if (m_window == nullptr || m_items.empty()) {
        return;
    }
    RECT client {};
    GetClientRect(m_window, &client);
    if (client.right <= 0 || client.bottom <= 0) {
        return; // minimised
    }
    const SIZE designed = designedSize();
    const double scale = scaleForClientArea(client.right, client.bottom, designed.cx, designed.cy);
    const bool rescaled = force || scale != m_scale || m_dpi != m_laidOutDpi;
    m_scale = scale;
    m_laidOutDpi = m_dpi;
    const auto px = [this](Twips twips) { return twipsToPixels(twips, m_dpi, m_scale); };
    const POINT margin {std::max<LONG>(0, (client.right - px(m_definition.clientWidth)) / 2),
                        std::max<LONG>(0, (client.bottom - px(m_definition.clientHeight)) / 2)};

    std::vector<std::pair<Font, win32::FontHandle>> fonts;
    if (rescaled) {
        for (const Item &item : m_items) {
            const Font &font = item.definition->font;
            if (font.face.empty()
                || std::any_of(fonts.begin(), fonts.end(),
                               [&font](const auto &made) { return made.first == font; })) {
                continue;
            }
            fonts.emplace_back(font, win32::createFont(font, m_dpi, m_scale));
        }
    }
    for (const Item &item : m_items) {
        const ControlDefinition &control = *item.definition;
        const bool topLevel = GetParent(item.hwnd) == m_window;
        SetWindowPos(item.hwnd, nullptr, px(control.left) + (topLevel ? margin.x : 0),
                     px(control.top) + (topLevel ? margin.y : 0), px(control.width),
                     px(control.height), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (rescaled && !control.font.face.empty()) {
            const auto font
                = std::find_if(fonts.begin(), fonts.end(),
                               [&control](const auto &made) { return made.first == control.font; });
            SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->second.get()),
                         FALSE);
        }
    }
    if (rescaled) {
        // The controls now draw in the new fonts; the old ones may go.
        m_fonts.clear();
        for (auto &[definitionFont, handle] : fonts) {
            m_fonts.push_back(std::move(handle));
        }
        loadPicture();
    }
    RedrawWindow(m_window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    if (m_tips) {
        m_tips->updateAll();
    }
}

void Win32Form::loadPicture()
{
    const auto picture = std::find_if(m_items.begin(), m_items.end(), [](const Item &item) {
        return item.definition->kind == ControlKind::Picture;
    });
    if (picture == m_items.end()) {
        return;
    }
    const int factor = m_dpi * m_scale > win32::kDesignDpi ? 2 : 1;
    if (factor == m_pictureFactor) {
        return;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int tried = factor; tried >= 1; --tried) {
        const std::wstring name = win32::pictureResourceName(picture->definition->picture, tried);
        auto *bitmap = static_cast<HBITMAP>(
            LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bitmap != nullptr) {
            m_picture.reset(bitmap);
            break;
        }
    }
    m_pictureFactor = factor;
}

std::string_view Win32Form::name() const
{
    return m_definition.name;
}

Control *Win32Form::findControl(std::string_view name)
{
    const auto found
        = std::find_if(m_controls.begin(), m_controls.end(),
                       [name](const auto &control) { return control->name() == name; });
    return found != m_controls.end() ? found->get() : nullptr;
}

HWND Win32Form::handle(std::string_view name) const
{
    const auto found = std::find_if(m_items.begin(), m_items.end(), [name](const Item &item) {
        return item.definition->name == name;
    });
    return found != m_items.end() && IsWindow(found->hwnd) != FALSE ? found->hwnd : nullptr;
}

std::string Win32Form::toolTip(std::string_view box) const
{
    HWND edit = handle(box);
    return edit != nullptr && m_tips ? win32::narrow(m_tips->tip(edit)) : std::string();
}

bool Win32Form::onClick(std::string_view control, std::function<void()> handler)
{
    const auto found = std::find_if(m_items.begin(), m_items.end(), [control](const Item &item) {
        return item.definition->name == control
            && item.definition->kind == ControlKind::CommandButton;
    });
    if (found == m_items.end()) {
        return false;
    }
    found->click = std::move(handler);
    return true;
}

void Win32Form::announce(std::string_view message)
{
    HWND focus = GetFocus();
    win32::announceThroughAutomation(
        focus != nullptr && IsChild(m_window, focus) != FALSE ? focus : m_window, message);
}

void Win32Form::show(int showCommand)
{
    if (m_window == nullptr) {
        return;
    }
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    const Item *first = nullptr;
    for (const Item &item : m_items) {
        if (takesFocus(item.definition->kind)
            && (first == nullptr || item.definition->tabIndex < first->definition->tabIndex)) {
            first = &item;
        }
    }
    if (first != nullptr) {
        m_lastFocus = first->hwnd;
        SetFocus(first->hwnd);
    }
}

bool Win32Form::translate(MSG &message)
{
    if (m_window == nullptr
        || (message.hwnd != m_window && IsChild(m_window, message.hwnd) == FALSE)) {
        return false;
    }
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        const Item *focused = itemOf(GetFocus());
        const bool onButton
            = focused != nullptr && focused->definition->kind == ControlKind::CommandButton;
        switch (formKey(message.wParam, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0,
                        onButton)) {
        case FormKey::PressFocusedButton:
            // One press per press: a held key's repeats are not clicks, as Space's are not.
            if ((message.lParam & (1L << 30)) == 0) {
                SendMessageW(m_window, WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(focused->hwnd), BN_CLICKED),
                             reinterpret_cast<LPARAM>(focused->hwnd));
            }
            return true;
        case FormKey::Close:
            PostMessageW(m_window, WM_CLOSE, 0, 0);
            return true;
        case FormKey::Ignore:
            return true;
        case FormKey::Pass:
            break;
        }
    }
    return IsDialogMessageW(m_window, &message) != FALSE;
}

const Win32Form::Item *Win32Form::itemOf(HWND control) const
{
    if (control == nullptr) {
        return nullptr;
    }
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [control](const Item &item) { return item.hwnd == control; });
    return found != m_items.end() ? &*found : nullptr;
}

// A fixed text colour worked out against the system's background at the moment it is drawn, so a
// change of colours or of high-contrast theme is followed at the next paint.
LRESULT Win32Form::colourControl(HDC dc, HWND control, int systemBackground)
{
    const COLORREF background = GetSysColor(systemBackground);
    COLORREF text
        = GetSysColor(systemBackground == COLOR_WINDOW ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
    const Item *item = itemOf(control);
    if (item != nullptr && item->definition->colour) {
        const Rgb shown = readableOn(*item->definition->colour, toRgb(background));
        text = RGB(shown.red, shown.green, shown.blue);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, background);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(systemBackground));
}

void Win32Form::click(const Item &item)
{
    if (!item.click) {
        return;
    }
    // Handlers trap nothing: an error that leaves one ends here, reported, and ends the program.
    try {
        item.click();
    } catch (const std::exception &error) {
        reportUntrappedError(error);
    }
}

LRESULT CALLBACK Win32Form::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the creation data CreateWindowEx was given
        auto *form
            = static_cast<Win32Form *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the form stored at creation
    auto *form = reinterpret_cast<Win32Form *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

LRESULT Win32Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the control that sent it
        const Item *item = itemOf(reinterpret_cast<HWND>(lParam));
        if (item == nullptr) {
            return 0; // IDOK and IDCANCEL from the dialog keys: nothing is a default button
        }
        if (HIWORD(wParam) == BN_CLICKED && item->definition->kind == ControlKind::CommandButton) {
            click(*item);
        } else if (HIWORD(wParam) == EN_CHANGE && m_tips) {
            m_tips->update(item->hwnd);
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message's device context and control
        return colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                             COLOR_BTNFACE);
    case WM_CTLCOLOREDIT:
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message's device context and control
        return colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                             COLOR_WINDOW);
    case WM_DRAWITEM: {
        const auto *drawn = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const Item *item = itemOf(drawn->hwndItem);
        if (item == nullptr || item->definition->kind != ControlKind::Picture) {
            return FALSE;
        }
        FillRect(drawn->hDC, &drawn->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        win32::drawPicture(drawn->hDC, drawn->rcItem, m_picture.get());
        return TRUE;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            scaleToWindow();
        }
        return 0;
    case WM_GETMINMAXINFO: {
        // The window may shrink below its designed size, down to the least scale.
        const SIZE designed = designedSize();
        const SIZE least
            = win32::windowSizeFor({static_cast<LONG>(std::lround(designed.cx * kSmallestScale)),
                                    static_cast<LONG>(std::lround(designed.cy * kSmallestScale))},
                                   kFormStyle, kFormExStyle, m_dpi);
        auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
        limits->ptMinTrackSize = {least.cx, least.cy};
        return 0;
    }
    case WM_DPICHANGED: {
        // Moved to a monitor of another density: the size Windows suggests keeps the window's
        // physical size, and places and fonts are worked out again from twips at the new DPI.
        m_dpi = HIWORD(wParam);
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        scaleToWindow(true);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE:
        // The colours are worked out as each control is drawn: drawing everything again is all a
        // change of colours, theme or high contrast needs. Controls hear of colours from their
        // top-level window.
        if (message == WM_SYSCOLORCHANGE) {
            for (const Item &item : m_items) {
                SendMessageW(item.hwnd, message, wParam, lParam);
            }
        }
        RedrawWindow(m_window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        return 0;
    case WM_ACTIVATE:
        // A window that is not a dialog keeps its focus itself across being deactivated.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(m_window, focus) != FALSE) {
                m_lastFocus = focus;
            }
        } else if (m_lastFocus != nullptr && IsWindow(m_lastFocus) != FALSE) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        // Closing the window ends the program; a form destroyed by its owner ends nothing.
        if (!m_destroying) {
            PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

} // namespace forms
