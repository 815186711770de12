// SPDX-License-Identifier: MIT
// The Win32 find row worked by keyboard through the program's own handling of the thread's
// messages: the marks, Enter and F3 going to the models as a click does, Esc giving back the
// designed window pixel for pixel, the arrow keys, the boxes' menu item and Ctrl+C on a button.
#include "tests/conformance/win32_window.hpp"

#include "forms/win32/wide.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <set>
#include <vector>

namespace {

using forms::Win32FindRow;
using forms::win32::widen;
using testing_support::boxTexts;
using testing_support::clientSize;
using testing_support::pump;
using testing_support::shownPixels;
using testing_support::textsAfter;
using testing_support::windowText;

class FindRow : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = window.form();
        ASSERT_NE(form, nullptr);
        SetForegroundWindow(form->window());
        row = form->findRow();
        ASSERT_NE(row, nullptr);
    }

    // Handles the thread's messages for a while: long enough for a pause in typing to pass.
    void waitPastThePause()
    {
        const auto until = std::chrono::steady_clock::now() + forms::kAnnouncePause
            + std::chrono::milliseconds(300);
        while (std::chrono::steady_clock::now() < until) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            pump(*form);
        }
    }

    [[nodiscard]] std::set<std::string> marked() const
    {
        const std::vector<std::string> names = row->marked();
        return {names.begin(), names.end()};
    }

    testing_support::Win32Window window;
    forms::Win32Form *form = nullptr;
    Win32FindRow *row = nullptr;
};

TEST_F(FindRow, TypingMarksTheModelsAndEscGivesBackTheWindowAsDesigned)
{
    SetFocus(form->handle("Command30"));
    window.key(VK_TAB); // reached by the keyboard, so the button shows its focus as it will again
    ASSERT_EQ(window.focused(), "Command31");
    pump(*form);
    const std::vector<std::uint32_t> designed = shownPixels(form->window());
    const std::vector<std::uint32_t> designedButton = shownPixels(form->handle("Command23"));
    const SIZE designedSize = clientSize(form->window());
    ASSERT_EQ(row->field(), nullptr) << "the row is made on first use, not at the start";

    window.key('F', false, true);
    ASSERT_NE(row->field(), nullptr);
    EXPECT_EQ(window.focused(), "(find field)");
    EXPECT_EQ(clientSize(form->window()).cx, designedSize.cx);
    EXPECT_GT(clientSize(form->window()).cy, designedSize.cy) << "the window grows by the row";

    window.typeHere("4370805");
    EXPECT_EQ(windowText(row->answer()),
              "4370805: 7 models: 3510, 6310, 6310I, 6510, 8310, 8910, 8910I");
    const std::set<std::string> buttons {"Command23", "Command30", "Command31", "Command32",
                                         "Command36", "Command37", "Command38"};
    EXPECT_EQ(marked(), buttons);
    // The mark is drawn in the text's colour inside the button's edge.
    RECT button {};
    GetWindowRect(form->handle("Command23"), &button);
    const forms::win32::WindowDc screen(nullptr);
    EXPECT_EQ(GetPixel(screen.get(), button.left + 1, (button.top + button.bottom) / 2),
              GetSysColor(COLOR_BTNTEXT));
    waitPastThePause();
    const auto described = row->described();
    EXPECT_NE(std::ranges::find(described,
                                std::pair<std::string, std::string> {
                                    "Command23", "Holds 4370805 in POWER IC (UEM) 1"}),
              described.end());

    window.typeHere("x"); // no match: every mark goes, and the buttons are as they were drawn
    EXPECT_TRUE(marked().empty());
    pump(*form);
    EXPECT_TRUE(shownPixels(form->handle("Command23")) == designedButton) << "a mark left behind";
    window.typeHere("\b");

    window.key(VK_ESCAPE);
    EXPECT_EQ(window.focused(), "Command31") << "the focus goes back where it was";
    EXPECT_EQ(clientSize(form->window()).cx, designedSize.cx);
    EXPECT_EQ(clientSize(form->window()).cy, designedSize.cy);
    EXPECT_TRUE(marked().empty());
    EXPECT_TRUE(row->described().empty());
    pump(*form);
    EXPECT_TRUE(shownPixels(form->window()) == designed) << "not the designed window's pixels";
    EXPECT_FALSE(IsWindowVisible(row->field()) || IsWindowVisible(row->answer()))
        << "the row's controls are gone from sight";
    SetFocus(form->handle("Text16"));
    window.key(VK_TAB);
    EXPECT_EQ(window.focused(), "Command1") << "the closed row is out of the tab order";

    window.key('F', false, true);
    EXPECT_EQ(windowText(row->field()), "4370805");
    EXPECT_EQ(marked(), buttons) << "opened again on the same text, it finds it again";
}

TEST_F(FindRow, EnterAndF3GoToTheMarkedModelsAsAClickDoes)
{
    SetFocus(form->handle("Command1"));
    window.key('F', false, true);
    window.typeHere("4370453"); // twice in the 6150, nowhere else
    SetWindowTextW(form->handle("Text3"), L"typed by hand");
    window.key(VK_RETURN);
    EXPECT_EQ(boxTexts(window), textsAfter("Command10")) << "the sixteen writes of a click";
    EXPECT_EQ(marked(), (std::set<std::string> {"Command10", "Text3", "Text5"}));
    EXPECT_EQ(window.focused(), "(find field)") << "the focus stays in the field";

    SetWindowTextW(row->field(), L"4370805");
    // F3 steps on through the models that hold the part, Shift+F3 back; the boxes then hold the
    // model's sixteen texts.
    for (const auto &[back, button] :
         {std::pair {false, "Command23"}, std::pair {false, "Command30"},
          std::pair {true, "Command23"}, std::pair {true, "Command38"}}) {
        window.key(VK_F3, back);
        EXPECT_EQ(boxTexts(window), textsAfter(button)) << button;
    }
    EXPECT_TRUE(marked().contains("Text8")) << "the box that holds the part";
    EXPECT_EQ(form->heldReferences(), 0);
}

TEST_F(FindRow, ArrowKeysMoveAsTheButtonsLie)
{
    SetFocus(form->handle("Command2"));
    for (const auto &[key, to] :
         {std::pair {VK_RIGHT, "Command3"}, std::pair {VK_DOWN, "Command13"},
          std::pair {VK_DOWN, "Command20"}, std::pair {VK_LEFT, "Command19"},
          std::pair {VK_UP, "Command12"}}) {
        window.key(key);
        EXPECT_EQ(window.focused(), to);
    }
}

// What the box's menu offered, read while it is open, and the first item chosen.
std::vector<std::wstring> g_offered;

void CALLBACK readAndChoose(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/)
{
    HWND menu = testing_support::threadWindow(L"#32768");
    if (menu == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the menu the window shows
    auto *items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(items); ++i) {
        std::array<wchar_t, 64> text {};
        GetMenuStringW(items, static_cast<UINT>(i), text.data(), static_cast<int>(text.size()),
                       MF_BYPOSITION);
        g_offered.emplace_back(text.data());
    }
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
}

TEST_F(FindRow, TheBoxMenuFindsItsPartAndCtrlCCopiesAButtonsRecord)
{
    window.click("Command31");
    for (const auto &[key, shift] : {std::pair {VK_APPS, false}, std::pair {VK_F10, true}}) {
        g_offered.clear();
        SetFocus(form->handle(key == VK_APPS ? "Text1" : "Text12"));
        SetTimer(nullptr, 0, 50, readAndChoose);
        window.key(key, shift);
        ASSERT_GT(g_offered.size(), 4U) << "no menu with the box's standard items for " << key;
        EXPECT_EQ(g_offered.front(), L"Find models with this part");
    }
    ASSERT_NE(row->field(), nullptr);
    EXPECT_EQ(windowText(row->field()), "N643HT7MI");
    EXPECT_EQ(windowText(row->answer()),
              "N643HT7MI: 7 models: 6310, 6310I, 6510, 8310, 8910, 3600, 6600");

    SetFocus(form->handle("Command31"));
    window.key('C', false, true);
    ASSERT_NE(OpenClipboard(nullptr), FALSE);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const std::wstring copied
        = data != nullptr ? std::wstring(static_cast<const wchar_t *>(GlobalLock(data))) : L"";
    GlobalUnlock(data); // none where there was no data
    CloseClipboard();
    EXPECT_EQ(copied,
              widen("6310I\nPA IC 1: PF08125B\nRF IC 1: MJOELNER\nPOWER IC (UEM) 1: "
                    "4370805\nUPP 1: 4370815\nFLASH IC 1: N643HT7MI\nRAM IC 1: @UPP\n"));
}

} // namespace
