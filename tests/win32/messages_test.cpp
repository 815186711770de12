// SPDX-License-Identifier: MIT
// The Win32 window through what the desktop sends it while it is open: resizes, a live change of
// colours or theme, a move to a screen of another DPI. Each time every control keeps its place
// scaled from twips and its font at the new size, cut off nowhere and readable on whatever the
// desktop now draws. And the untrapped error's line and status through the program's own loop.
#include "tests/conformance/win32_window.hpp"
#include "tests/support/contrast.hpp"
#include "tests/support/labelled_rows.hpp"

#include "forms/start/runtime.hpp"
#include "forms/win32/win32_form.hpp"
#include "ui/main_window.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using forms::ControlDefinition;
using forms::ControlKind;
using forms::Win32Form;
using icatlas::ui::kForm1;
using icatlas::ui::kForm1Controls;
using testing_support::byLabel;
using testing_support::clientSize;
using testing_support::fontOf;
using testing_support::placeInParent;
using testing_support::PrintTo;
using testing_support::pump;
using testing_support::showMainWindow;

// Pixels for twips at a DPI and scale: 1440 twips an inch.
double pixels(int twips, unsigned dpi, double scale)
{
    return twips * static_cast<double>(dpi) / 1440.0 * scale;
}

// The scale a client area gives, from the window's rule: the designed proportions kept, the
// smaller of the two factors, never below 0.82.
double expectedScale(SIZE client, unsigned dpi)
{
    const double across = client.cx / std::round(pixels(kForm1.clientWidth, dpi, 1.0));
    const double down = client.cy / std::round(pixels(kForm1.clientHeight, dpi, 1.0));
    return std::max(0.82, std::min(across, down));
}

// Every control where its twips put it at the DPI and the scale the client area gives, centred in
// the spare room; inside its container; its text in its font's size at that scale, bold, and a
// caption not cut off.
void expectLaidOut(const Win32Form &form, unsigned dpi, const std::string &when)
{
    const SIZE client = clientSize(form.window());
    const double scale = expectedScale(client, dpi);
    const double marginX
        = std::max(0.0, (client.cx - std::round(pixels(kForm1.clientWidth, dpi, scale))) / 2);
    const double marginY
        = std::max(0.0, (client.cy - std::round(pixels(kForm1.clientHeight, dpi, scale))) / 2);
    for (const ControlDefinition &def : kForm1Controls) {
        SCOPED_TRACE(when + ": " + std::string(def.name));
        HWND control = form.handle(def.name);
        ASSERT_NE(control, nullptr);
        const bool topLevel = def.container.empty();
        const RECT at = placeInParent(control);
        EXPECT_NEAR(at.left, pixels(def.left, dpi, scale) + (topLevel ? marginX : 0), 2);
        EXPECT_NEAR(at.top, pixels(def.top, dpi, scale) + (topLevel ? marginY : 0), 2);
        EXPECT_NEAR(at.right - at.left, pixels(def.width, dpi, scale), 2);
        EXPECT_NEAR(at.bottom - at.top, pixels(def.height, dpi, scale), 2);
        // Inside its container, but the picture, whose top the design hides above the window.
        if (def.kind != ControlKind::Picture) {
            const SIZE room = clientSize(GetParent(control));
            EXPECT_TRUE(at.left >= 0 && at.top >= 0 && at.right <= room.cx && at.bottom <= room.cy)
                << "cut off by its container";
        }
        if (def.font.face.empty()) {
            continue;
        }
        const forms::win32::WindowDc dc(control, fontOf(control));
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc.get(), &metrics);
        std::wstring caption(def.text.begin(), def.text.end());
        SIZE extent {};
        GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
        // The substituted face or, where that is missing, one of the same widths.
        const std::string drawn = testing_support::faceOf(dc.get());
        EXPECT_TRUE(drawn == "Arial" || drawn == "Liberation Sans") << drawn;
        EXPECT_EQ(metrics.tmItalic, 0);
        // Centipoints to pixels: 100 to the point, 72 points an inch.
        EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading,
                    def.font.centipoints / 100.0 * dpi / 72.0 * scale, 1.5);
        EXPECT_GE(metrics.tmWeight, 700);
        if (def.kind != ControlKind::TextBox) {
            EXPECT_LE(extent.cx, at.right - at.left) << "the caption is cut off";
        }
    }
}

// The window's outer size for a client area of `client` at `dpi`.
SIZE outerFor(HWND window, SIZE client, unsigned dpi)
{
    RECT rect {0, 0, client.cx, client.cy};
    AdjustWindowRectExForDpi(&rect, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Resizing

struct Resize {
    const char *label;
    double across; // the client area, in times its designed size
    double down;
};

const auto kResizes = std::to_array<Resize>({
    {"larger", 1.25, 1.25},
    {"wider_than_its_proportions", 2.0, 1.5},
    {"taller_than_its_proportions", 1.1, 1.6},
    {"smaller", 0.9, 0.9},
});

class Resized : public ::testing::TestWithParam<Resize> { };

TEST_P(Resized, LaysEverythingOutAtTheScaleItsSizeGives)
{
    const auto form = showMainWindow(96);
    ASSERT_NE(form, nullptr);
    const Resize &row = GetParam();
    const SIZE client {static_cast<LONG>(std::lround(pixels(kForm1.clientWidth, 96, row.across))),
                       static_cast<LONG>(std::lround(pixels(kForm1.clientHeight, 96, row.down)))};
    const SIZE outer = outerFor(form->window(), client, 96);
    SetWindowPos(form->window(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOMOVE);
    pump(*form);
    expectLaidOut(*form, 96, row.label);
}

INSTANTIATE_TEST_SUITE_P(Form1, Resized, ::testing::ValuesIn(kResizes), byLabel);

// Maximised, restored, and down to the least size the user can drag it to, the window shows
// everything whole.
TEST(Resizing, MaximisedRestoredAndDownToTheLeastTrackingSize)
{
    const auto form = showMainWindow(96);
    ASSERT_NE(form, nullptr);
    ShowWindow(form->window(), SW_MAXIMIZE);
    pump(*form);
    expectLaidOut(*form, 96, "maximised");
    ShowWindow(form->window(), SW_RESTORE);
    pump(*form);
    expectLaidOut(*form, 96, "restored");
    MINMAXINFO limits {};
    SendMessageW(form->window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    SetWindowPos(form->window(), nullptr, 0, 0, limits.ptMinTrackSize.x, limits.ptMinTrackSize.y,
                 SWP_NOZORDER | SWP_NOMOVE);
    pump(*form);
    const SIZE client = clientSize(form->window());
    EXPECT_NEAR(expectedScale(client, 96), 0.82, 0.01) << client.cx << "x" << client.cy;
    expectLaidOut(*form, 96, "least");
}

// A change of DPI

struct DpiChange {
    const char *label;
    unsigned from;
    unsigned to;
    SIZE client; // the client area at `from`, worked out by hand from 9630 x 7875 twips
};

const auto kDpiChanges = std::to_array<DpiChange>({
    {"to_150_percent", 96, 144, {642, 525}},
    {"to_125_percent", 96, 120, {642, 525}},
    {"back_to_100_percent", 144, 96, {963, 788}},
});

class DpiChanged : public ::testing::TestWithParam<DpiChange> { };

// The frame round the client area is reckoned so that the client area has the designed size.
// Windows suggests the window's rectangle at the new DPI; the window takes it and lays out again
// from twips at that DPI, fonts included.
TEST_P(DpiChanged, TakesTheSuggestedSizeAndLaysOutAtTheNewDpi)
{
    const DpiChange &row = GetParam();
    const auto form = showMainWindow(row.from);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(clientSize(form->window()).cx, row.client.cx);
    EXPECT_EQ(clientSize(form->window()).cy, row.client.cy);
    expectLaidOut(*form, row.from, "before");
    RECT before {};
    GetWindowRect(form->window(), &before);
    const SIZE designed {static_cast<LONG>(std::lround(pixels(kForm1.clientWidth, row.to, 1.0))),
                         static_cast<LONG>(std::lround(pixels(kForm1.clientHeight, row.to, 1.0)))};
    const SIZE outer = outerFor(form->window(), designed, row.to);
    RECT suggested {before.left, before.top, before.left + outer.cx, before.top + outer.cy};
    SendMessageW(form->window(), WM_DPICHANGED, MAKEWPARAM(row.to, row.to),
                 reinterpret_cast<LPARAM>(&suggested));
    pump(*form);
    RECT after {};
    GetWindowRect(form->window(), &after);
    EXPECT_EQ(after.right - after.left, outer.cx);
    EXPECT_EQ(after.bottom - after.top, outer.cy);
    EXPECT_EQ(form->dpi(), row.to);
    expectLaidOut(*form, row.to, "after");
}

INSTANTIATE_TEST_SUITE_P(Form1, DpiChanged, ::testing::ValuesIn(kDpiChanges), byLabel);

// A live change of colours or theme

// WCAG 2's contrast of two colours a control is told to draw in.
double contrast(COLORREF a, COLORREF b)
{
    using testing_support::luminance;
    return testing_support::contrastRatio(luminance(GetRValue(a), GetGValue(a), GetBValue(a)),
                                          luminance(GetRValue(b), GetGValue(b), GetBValue(b)));
}

// The desktop's colours changed for the test's length, and given back after it.
class SystemColours {
public:
    explicit SystemColours(COLORREF ground, COLORREF text)
    {
        std::ranges::transform(kElements, m_previous.begin(), GetSysColor);
        const std::array<COLORREF, 4> wanted {ground, ground, text, text};
        m_changed
            = SetSysColors(static_cast<int>(kElements.size()), kElements.data(), wanted.data())
            != 0;
    }
    ~SystemColours()
    {
        SetSysColors(static_cast<int>(kElements.size()), kElements.data(), m_previous.data());
    }
    SystemColours(const SystemColours &) = delete;
    SystemColours &operator=(const SystemColours &) = delete;
    SystemColours(SystemColours &&) = delete;
    SystemColours &operator=(SystemColours &&) = delete;
    [[nodiscard]] bool changed() const { return m_changed; }

private:
    static constexpr std::array<int, 4> kElements {COLOR_WINDOW, COLOR_BTNFACE, COLOR_WINDOWTEXT,
                                                   COLOR_BTNTEXT};
    std::array<COLORREF, 4> m_previous {};
    bool m_changed = false;
};

struct Colours {
    const char *label;
    COLORREF ground;
    COLORREF text;
};

const auto kColours = std::to_array<Colours>({
    {"dark", RGB(0x20, 0x20, 0x20), RGB(0xFF, 0xFF, 0xFF)},
    {"mid_grey", RGB(0x80, 0x80, 0x80), RGB(0x00, 0x00, 0x00)},
    {"white", RGB(0xFF, 0xFF, 0xFF), RGB(0x00, 0x00, 0x00)},
});

// The text and ground colours a control is told to draw in, asked as the control asks its parent.
std::pair<COLORREF, COLORREF> drawnColours(HWND control, UINT message)
{
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(control), message, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control));
    const std::pair drawn {GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return drawn;
}

// The pixel most often drawn in the control's client area: its background as the user sees it,
// once what the change made invalid has been drawn again.
COLORREF shownGround(HWND control)
{
    UpdateWindow(control);
    std::map<std::uint32_t, int> seen;
    for (const std::uint32_t pixel : testing_support::shownPixels(control)) {
        ++seen[pixel];
    }
    const std::uint32_t most = std::ranges::max_element(seen, {}, [](const auto &colour) {
                                   return colour.second;
                               })->first;
    return RGB(most >> 16, (most >> 8) & 0xFFU, most & 0xFFU);
}

class ColoursChanged : public ::testing::TestWithParam<Colours> { };

// The desktop's colours change while the window is open (SetSysColors sends WM_SYSCOLORCHANGE to
// every window): the boxes and the window are drawn on the new colours, the plain texts take the
// new text colour, and the fixed red and blue take a shade of their hue that reads at 4.5:1.
TEST_P(ColoursChanged, EveryTextStaysReadableOnTheNewColours)
{
    const Colours &row = GetParam();
    const auto form = showMainWindow(96);
    ASSERT_NE(form, nullptr);
    const SystemColours colours(row.ground, row.text);
    ASSERT_TRUE(colours.changed());
    pump(*form);

    struct Seen {
        const char *control;
        UINT message;
        const char *hue; // "red", "blue", or "" for the desktop's text colour
    };
    for (const Seen &seen :
         {Seen {"Text2", WM_CTLCOLOREDIT, "red"}, Seen {"Label11", WM_CTLCOLORSTATIC, "blue"},
          Seen {"Frame1", WM_CTLCOLORSTATIC, "blue"}, Seen {"Label1", WM_CTLCOLORSTATIC, ""},
          Seen {"Text1", WM_CTLCOLOREDIT, ""}}) {
        SCOPED_TRACE(seen.control);
        HWND control = form->handle(seen.control);
        ASSERT_NE(control, nullptr);
        const auto [text, ground] = drawnColours(control, seen.message);
        EXPECT_EQ(ground, row.ground);
        EXPECT_GE(contrast(text, ground), testing_support::kReadable);
        const std::string hue = seen.hue;
        if (hue == "red") {
            EXPECT_GT(GetRValue(text), std::max(GetGValue(text), GetBValue(text)));
        } else if (hue == "blue") {
            EXPECT_GT(GetBValue(text), std::max(GetRValue(text), GetGValue(text)));
        } else {
            EXPECT_EQ(text, row.text);
        }
    }
    EXPECT_EQ(shownGround(form->handle("Text2")), row.ground) << "a box drawn on the new colour";
    EXPECT_EQ(shownGround(form->window()), row.ground) << "the window drawn on the new colour";
}

INSTANTIATE_TEST_SUITE_P(Form1, ColoursChanged, ::testing::ValuesIn(kColours), byLabel);

// A change of theme or of the desktop's settings changes no control's font or place: the form's
// fonts are its definition's, not the theme's.
TEST(ThemeChanged, KeepsEveryControlsFontAndPlace)
{
    const auto form = showMainWindow(96);
    ASSERT_NE(form, nullptr);
    std::vector<HGDIOBJ> fonts;
    for (const ControlDefinition &def : kForm1Controls) {
        fonts.push_back(fontOf(form->handle(def.name)));
    }
    // As Windows sends them: to the top-level window and, for a theme, to every child too.
    SendMessageW(form->window(), WM_THEMECHANGED, 0, 0);
    for (const ControlDefinition &def : kForm1Controls) {
        SendMessageW(form->handle(def.name), WM_THEMECHANGED, 0, 0);
    }
    SendMessageW(form->window(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS,
                 reinterpret_cast<LPARAM>(L"WindowMetrics"));
    pump(*form);
    for (std::size_t i = 0; i < kForm1Controls.size(); ++i) {
        HWND control = form->handle(kForm1Controls.at(i).name);
        EXPECT_EQ(fontOf(control), fonts.at(i)) << kForm1Controls.at(i).name;
        EXPECT_NE(IsWindowVisible(control), FALSE) << kForm1Controls.at(i).name;
    }
    expectLaidOut(*form, 96, "after the theme changed");
}

// The whole path in a process of its own, through the program's own loop: the report's line on
// stderr, and the untrapped error's exit status once the user has closed it.
TEST(UntrappedError, EndsTheProgramWithItsStatusAndTheLineOnStderr)
{
    EXPECT_EXIT(
        {
            const testing_support::HangGuard guard("the untrapped error's report");
            forms::setProgramName(icatlas::ui::kProject.name); // as the program's start names it
            const auto form = showMainWindow();
            if (form == nullptr) {
                std::exit(1);
            }
            testing_support::refuseWrites(form->handle("Text2"), false);
            PostMessageW(form->handle("Command31"), BM_CLICK, 0, 0);
            SetTimer(nullptr, 0, 20, testing_support::closeReport);
            std::exit(forms::runEventLoop(*form));
        },
        ::testing::ExitedWithCode(forms::kUntrappedErrorExitCode),
        "icatlas: Run-time error '380': Invalid property value .* in Text2, set Text");
}

} // namespace
