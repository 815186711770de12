// SPDX-License-Identifier: MIT
// What the main window looks like under Wine at 96 DPI: small bold texts that read bold (their ink
// against the same face drawn regular, the system's way), the banner drawn where it shows, a
// cut-off box's whole text in the tooltip window, and the find row's marks drawn and taken away.
#include "tests/conformance/win32_window.hpp"

#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"
#include "ui/main_window.hpp"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using testing_support::Canvas;
using testing_support::clientSize;
using testing_support::placeInParent;
using testing_support::pump;
using testing_support::showMainWindow;
using testing_support::shownPixels;

// How dark the text is drawn in black on white in `font`, in whole black pixels: a grey pixel
// counts as its share.
double inkOf(const std::wstring &text, HFONT font)
{
    const Canvas canvas(400, 60);
    HGDIOBJ previous = SelectObject(canvas.dc(), font);
    SetTextColor(canvas.dc(), RGB(0, 0, 0));
    SetBkMode(canvas.dc(), TRANSPARENT);
    TextOutW(canvas.dc(), 4, 4, text.c_str(), static_cast<int>(text.size()));
    SelectObject(canvas.dc(), previous);
    double ink = 0;
    for (const std::uint32_t p : canvas.pixels()) {
        ink += 1.0 - ((p & 0xFFU) + ((p >> 8) & 0xFFU) + ((p >> 16) & 0xFFU)) / 765.0;
    }
    return ink;
}

// The text in the control's font has at least half as much ink again as in the same face, size and
// smoothing drawn regular, as the system draws it: bold that reads bold at a glance. (Smoothed,
// Liberation Sans Bold at 13 pixels gave 1.31 times the regular ink.)
TEST(SmallBoldText, HasHalfAsMuchInkAgainAsTheRegularFace)
{
    const auto form = showMainWindow();
    ASSERT_NE(form, nullptr);
    // Bold texts of 13 and 11 pixels: a frame's caption ("NOKIA DCT3 PHONE"), a button's, a
    // heading ("PA IC"), a small one ("POWER IC") and the model box's ("NOKIA").
    for (const char *name : {"Frame1", "Command31", "Label2", "Label8", "Text1"}) {
        HWND control = form->handle(name);
        ASSERT_NE(control, nullptr) << name;
        const std::wstring text = forms::win32::textOf(control);
        auto *font = static_cast<HFONT>(testing_support::fontOf(control));
        LOGFONTW regular {};
        ASSERT_NE(GetObjectW(font, sizeof(regular), &regular), 0) << name;
        ASSERT_GE(regular.lfWeight, FW_BOLD) << name;
        regular.lfWeight = FW_NORMAL;
        regular.lfQuality = DEFAULT_QUALITY;
        const forms::win32::FontHandle regularFont(CreateFontIndirectW(&regular));
        const double bold = inkOf(text, font);
        const double plain = inkOf(text, regularFont.get());
        EXPECT_GE(bold, 1.5 * plain) << name << ": bold " << bold << ", regular " << plain
                                     << " pixels of ink at " << -regular.lfHeight << " px";
    }
}

// The banner's rows that show, between the client area's top and the first frame's, which lies
// over its foot, are the picture's own, pixel for pixel.
TEST(Banner, IsDrawnWhereItShows)
{
    const auto form = showMainWindow();
    ASSERT_NE(form, nullptr);
    HWND picture = form->handle("Image1");
    ASSERT_NE(picture, nullptr);
    auto *banner = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"banner.bmp",
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(banner, nullptr);
    const SIZE size = clientSize(picture);
    const Canvas expected(size.cx, size.cy);
    DrawStateW(expected.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(banner), 0, 0, 0, 0, 0,
               DST_BITMAP); // pixel for pixel
    DeleteObject(banner);
    const std::vector<std::uint32_t> drawn = expected.pixels();
    const std::vector<std::uint32_t> shown = shownPixels(picture);
    const LONG top = placeInParent(picture).top;
    const int first = std::max(0, static_cast<int>(-top));
    const int last = std::min(size.cy, placeInParent(form->handle("Frame1")).top - top);
    ASSERT_GT(last - first, 60) << "rows of the banner that show";
    int differing = 0;
    for (auto i = static_cast<std::size_t>(first * size.cx);
         i < static_cast<std::size_t>(last * size.cx); ++i) {
        differing += shown.at(i) != drawn.at(i) ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
}

// A box whose text is cut off is shown from its start and offers its whole text in the tooltip
// window that the mouse brings up; a box that shows all of its text, or none, offers nothing.
TEST(CutOffBox, OffersItsWholeTextInTheTooltipWindow)
{
    const auto form = showMainWindow();
    ASSERT_NE(form, nullptr);
    SendMessageW(form->handle("Command6"), BM_CLICK, 0, 0); // 5110
    PostMessageW(form->handle("Text14"), WM_MOUSEMOVE, 0, 0); // the mouse comes over the box
    pump(*form);
    HWND tips = testing_support::threadWindow(TOOLTIPS_CLASSW);
    ASSERT_NE(tips, nullptr) << "no tooltip window";
    const auto offered = [&](const char *box) {
        std::array<wchar_t, 80> text {};
        TTTOOLINFOW tool {.cbSize = sizeof(TTTOOLINFOW),
                          .hwnd = form->window(),
                          .uId = reinterpret_cast<UINT_PTR>(form->handle(box)),
                          .lpszText = text.data()};
        SendMessageW(tips, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text.data());
    };
    EXPECT_EQ(offered("Text14"), L"KM68U512ALTGE (512kbit)");
    EXPECT_EQ(SendMessageW(form->handle("Text14"), EM_GETSEL, 0, 0), 0) << "shown from its start";
    EXPECT_EQ(offered("Text2") + offered("Text3"), L"") << "Text2 or Text3 offers one";
}

// A mark is drawn in the text's colour inside the button's edge, and taken away without a trace
// when the text typed no longer matches; the closed row's controls are hidden. What the row does is
// the window's promises' (tests/conformance).
TEST(FindMark, IsDrawnInTheTextColourAndTakenAwayWithoutATrace)
{
    testing_support::Win32Window window;
    forms::Win32Form *form = window.form();
    ASSERT_NE(form, nullptr);
    const std::vector<std::uint32_t> designed = shownPixels(form->handle("Command23"));
    window.press(forms::Key::F, forms::kControl);
    window.typeHere("4370805");
    RECT button {};
    GetWindowRect(form->handle("Command23"), &button);
    const forms::win32::WindowDc screen(nullptr);
    EXPECT_EQ(GetPixel(screen.get(), button.left + 1, (button.top + button.bottom) / 2),
              GetSysColor(COLOR_BTNTEXT));
    window.typeHere("x");
    pump(*form);
    EXPECT_TRUE(shownPixels(form->handle("Command23")) == designed) << "a mark left behind";
    window.press(forms::Key::Escape);
    const forms::Win32FindRow *row = form->findRow();
    EXPECT_FALSE(IsWindowVisible(row->field()) || IsWindowVisible(row->answer()));
}

} // namespace
