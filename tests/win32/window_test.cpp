// SPDX-License-Identifier: MIT
// The main window as the Win32 runtime builds it, driven as a user drives it: every control at its
// place at 96 and 144 DPI in its font, the 42 clicks, typed text replaced, the focus order and the
// keys, and a box that refuses its text. The expectations are the Linux window tests' own
// (tests/support/window_expectations.hpp) and the catalogue's.
#include "catalogue/catalogue.hpp"
#include "forms/core/scaling.hpp"
#include "forms/start/runtime.hpp"
#include "forms/start/start_failure.hpp"
#include "forms/win32/dpi.hpp"
#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"
#include "tests/support/window_expectations.hpp"
#include "ui/main_window.hpp"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using forms::ControlDefinition;
using forms::ControlKind;
using forms::Win32Form;
using icatlas::ComponentCatalogue;
using icatlas::ModelRecord;
using icatlas::ui::kForm1;
using icatlas::ui::kForm1Controls;
using testing_support::expectedTexts;

std::string textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()}; // the window's texts are ASCII
}

// Handles what is queued for the thread as the program's loop does; true when the loop was told
// to end (WM_QUIT), with its status.
bool pump(Win32Form &form, int *status = nullptr)
{
    MSG message {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            if (status != nullptr) {
                *status = static_cast<int>(message.wParam);
            }
            return true;
        }
        if (!form.translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return false;
}

// Ends the test program with what it was doing when a step hangs (a modal report nobody closes),
// well before ctest's timeout.
class HangGuard {
public:
    explicit HangGuard(std::string what)
        : m_what(std::move(what))
        , m_thread([this] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(30), [this] { return m_finished; })) {
                std::fprintf(stderr, "hung for 30 s: %s\n", m_what.c_str());
                std::fflush(stderr);
                std::_Exit(1);
            }
        })
    {
    }
    ~HangGuard()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }
    HangGuard(const HangGuard &) = delete;
    HangGuard &operator=(const HangGuard &) = delete;
    HangGuard(HangGuard &&) = delete;
    HangGuard &operator=(HangGuard &&) = delete;

private:
    std::string m_what;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

std::unique_ptr<Win32Form> showMainWindow(unsigned dpi = 96)
{
    auto form = std::make_unique<Win32Form>(kForm1, dpi);
    if (form->window() == nullptr) {
        return nullptr;
    }
    icatlas::ui::connectClickHandlers(*form);
    form->show();
    pump(*form);
    return form;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = showMainWindow();
        ASSERT_NE(form, nullptr) << "the window was not made";
    }
    void TearDown() override { form.reset(); }

    [[nodiscard]] HWND handle(std::string_view name) const
    {
        HWND found = form->handle(name);
        if (found == nullptr) {
            ADD_FAILURE() << "no control " << name;
        }
        return found;
    }

    [[nodiscard]] std::array<std::string, 16> boxTexts() const
    {
        std::array<std::string, 16> texts;
        for (int n = 1; n <= 16; ++n) {
            HWND box = form->handle("Text" + std::to_string(n));
            texts.at(n - 1) = box != nullptr ? textOf(box) : "(gone)";
        }
        return texts;
    }

    // A mouse click as the button takes it (pressed and released over it).
    void click(std::string_view button)
    {
        SendMessageW(handle(button), BM_CLICK, 0, 0);
        pump(*form);
    }

    // A key pressed and released on the focused control, with Shift or Ctrl held, through the
    // program's own handling of the thread's messages. Returns true when the window was closed.
    bool press(WPARAM key, bool shift = false, bool control = false, bool extended = false)
    {
        std::array<BYTE, 256> state {};
        GetKeyboardState(state.data());
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(state.data());
        const LPARAM flags = 1 | (extended ? (1L << 24) : 0);
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, flags);
        PostMessageW(focus, WM_KEYUP, key, flags | (1L << 30) | (1L << 31));
        int status = -1;
        const bool ended = pump(*form, &status);
        state[VK_SHIFT] = 0;
        state[VK_CONTROL] = 0;
        SetKeyboardState(state.data());
        return ended || form->window() == nullptr;
    }

    [[nodiscard]] std::string focused() const
    {
        HWND focus = GetFocus();
        for (const ControlDefinition &control : kForm1Controls) {
            if (form->handle(control.name) == focus && focus != nullptr) {
                return std::string(control.name);
            }
        }
        return "(none)";
    }

    std::unique_ptr<Win32Form> form;
};

// Places and fonts

struct Screen {
    const char *label;
    unsigned dpi;
};

void PrintTo(const Screen &row, std::ostream *out)
{
    *out << row.label;
}

const auto kScreens = std::to_array<Screen>({{"dpi96", 96}, {"dpi144", 144}});

class AtDpi : public ::testing::TestWithParam<Screen> { };

RECT placeInParent(HWND control)
{
    RECT rect {};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// Every control lies where its definition puts it, in its container, at the DPI, within a pixel;
// the hand-worked pixels of the Linux tests agree; the client area has the designed size.
TEST_P(AtDpi, EveryControlStandsWhereItsDefinitionPutsIt)
{
    const unsigned dpi = GetParam().dpi;
    const auto form = showMainWindow(dpi);
    ASSERT_NE(form, nullptr);
    const auto px = [dpi](forms::Twips twips) { return forms::twipsToPixels(twips, dpi); };
    RECT client {};
    GetClientRect(form->window(), &client);
    EXPECT_EQ(client.right, px(kForm1.clientWidth));
    EXPECT_EQ(client.bottom, px(kForm1.clientHeight));
    for (const ControlDefinition &def : kForm1Controls) {
        HWND control = form->handle(def.name);
        ASSERT_NE(control, nullptr) << def.name;
        const RECT at = placeInParent(control);
        EXPECT_NEAR(at.left, px(def.left), 1) << def.name;
        EXPECT_NEAR(at.top, px(def.top), 1) << def.name;
        EXPECT_NEAR(at.right - at.left, px(def.width), 1) << def.name;
        EXPECT_NEAR(at.bottom - at.top, px(def.height), 1) << def.name;
        HWND container = def.container.empty() ? form->window() : form->handle(def.container);
        EXPECT_EQ(GetParent(control), container) << def.name;
    }
    for (const testing_support::PixelCase &row : testing_support::kPixels) {
        const RECT at = placeInParent(form->handle(row.control));
        const auto scaled
            = [dpi](int pixels) { return std::lround(pixels * static_cast<double>(dpi) / 96.0); };
        EXPECT_NEAR(at.left, scaled(row.x), 1) << row.label;
        EXPECT_NEAR(at.top, scaled(row.y), 1) << row.label;
        EXPECT_NEAR(at.right - at.left, scaled(row.width), 1) << row.label;
        EXPECT_NEAR(at.bottom - at.top, scaled(row.height), 1) << row.label;
    }
}

// Every control with text draws it bold, at its point size at the DPI, in the substituted face or,
// where that is missing, a face of the same widths: the captions fit as designed.
TEST_P(AtDpi, EveryCaptionIsDrawnInItsFontAndFits)
{
    const unsigned dpi = GetParam().dpi;
    const auto form = showMainWindow(dpi);
    ASSERT_NE(form, nullptr);
    for (const ControlDefinition &def : kForm1Controls) {
        if (def.font.face.empty()) {
            continue;
        }
        HWND control = form->handle(def.name);
        ASSERT_NE(control, nullptr) << def.name;
        HDC dc = GetDC(control);
        HGDIOBJ previous
            = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc, &metrics);
        std::array<wchar_t, LF_FACESIZE> face {};
        GetTextFaceW(dc, static_cast<int>(face.size()), face.data());
        const std::wstring caption = forms::win32::widen(def.text);
        SIZE extent {};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
        const std::string drawn(face.begin(), std::find(face.begin(), face.end(), L'\0'));
        EXPECT_TRUE(drawn == "Arial" || drawn == "Liberation Sans") << def.name << ": " << drawn;
        EXPECT_GE(metrics.tmWeight, 700) << def.name;
        EXPECT_EQ(metrics.tmItalic, 0) << def.name;
        // The character height asked for, to the pixel the renderer rounds to.
        EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading,
                    -forms::win32::fontHeight(def.font, dpi, 1.0), 1)
            << def.name;
        if (def.kind != ControlKind::TextBox) {
            RECT at {};
            GetClientRect(control, &at);
            EXPECT_LE(extent.cx, at.right) << def.name << " \"" << def.text << "\"";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, AtDpi, ::testing::ValuesIn(kScreens),
                         [](const auto &info) { return std::string(info.param.label); });

// Clicks

// One window for the 42 clicks: each click writes all sixteen boxes, whatever was there.
class ClickEachModel : public ::testing::TestWithParam<ModelRecord> {
protected:
    static void SetUpTestSuite() { s_form = showMainWindow().release(); }
    static void TearDownTestSuite()
    {
        delete s_form;
        s_form = nullptr;
    }
    static Win32Form *s_form;
};

Win32Form *ClickEachModel::s_form = nullptr;

TEST_P(ClickEachModel, FillsTheSixteenBoxesWithItsRecord)
{
    ASSERT_NE(s_form, nullptr);
    HWND button = s_form->handle(GetParam().button);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(textOf(button), std::string(GetParam().model));
    SendMessageW(button, BM_CLICK, 0, 0);
    pump(*s_form);
    std::array<std::string, 16> texts;
    for (int n = 1; n <= 16; ++n) {
        texts.at(n - 1) = textOf(s_form->handle("Text" + std::to_string(n)));
    }
    EXPECT_EQ(texts, expectedTexts(GetParam()));
    EXPECT_EQ(s_form->heldReferences(), 0);
}

INSTANTIATE_TEST_SUITE_P(Form1, ClickEachModel,
                         ::testing::ValuesIn(ComponentCatalogue::records().begin(),
                                             ComponentCatalogue::records().end()),
                         [](const auto &info) { return std::string(info.param.button); });

TEST_F(MainWindow, StartsWithNokiaInTheModelBoxAndTheFocusOnTheFirstButton)
{
    std::array<std::string, 16> expected {"NOKIA"};
    EXPECT_EQ(boxTexts(), expected);
    EXPECT_EQ(focused(), "Command1");
}

TEST_F(MainWindow, TypedTextIsReplacedByTheNextClickEvenWhereTheRecordIsBlank)
{
    for (int n = 1; n <= 16; ++n) {
        HWND box = handle("Text" + std::to_string(n));
        SetFocus(box);
        SendMessageW(box, EM_SETSEL, 0, -1);
        for (const char c : std::string("typed")) {
            PostMessageW(box, WM_CHAR, static_cast<WPARAM>(c), 1);
        }
        pump(*form);
    }
    ASSERT_EQ(textOf(handle("Text9")), "typed");
    click("Command1"); // 2100: Text9 is blank
    EXPECT_EQ(boxTexts(), expectedTexts(*ComponentCatalogue::findByButton("Command1")));
}

// A long text is stored whole and shown from its start; the tooltip offers it whole, and a box that
// shows all of its text offers none.
TEST_F(MainWindow, CutOffTextIsStoredWholeAndOfferedAsTheTooltip)
{
    click("Command6"); // 5110
    EXPECT_EQ(textOf(handle("Text14")), "KM68U512ALTGE (512kbit)");
    EXPECT_EQ(form->toolTip("Text14"), "KM68U512ALTGE (512kbit)");
    EXPECT_EQ(SendMessageW(handle("Text14"), EM_GETSEL, 0, 0), 0) << "shown from its start";
    EXPECT_EQ(form->toolTip("Text2"), "");
    EXPECT_EQ(form->toolTip("Text3"), "");
}

// Keys

TEST_F(MainWindow, TabWalksTheControlsInTabIndexOrderFromCommand1)
{
    const auto expected = testing_support::focusOrder();
    std::vector<std::string> walked {focused()};
    for (std::size_t i = 1; i <= expected.size(); ++i) {
        press(VK_TAB);
        walked.push_back(focused());
    }
    auto cycle = expected;
    cycle.push_back(expected.front()); // and round again
    EXPECT_EQ(walked, cycle);
}

TEST_F(MainWindow, ShiftTabWalksBackFromTheFirstWd2Button)
{
    SetFocus(handle("Command25"));
    press(VK_TAB, true);
    EXPECT_EQ(focused(), "Command38");
    press(VK_TAB);
    EXPECT_EQ(focused(), "Command25");
}

struct KeyCase {
    const char *label;
    const char *focus;
    WPARAM key;
    bool control;
    bool extended;
    const char *model; // what the model box then shows
    bool closes;
};

void PrintTo(const KeyCase &row, std::ostream *out)
{
    *out << row.label;
}

const auto kKeys = std::to_array<KeyCase>({
    {"space_presses", "Command31", VK_SPACE, false, false, "6310I", false},
    {"enter_presses", "Command31", VK_RETURN, false, false, "6310I", false},
    {"keypad_enter_presses", "Command42", VK_RETURN, false, true, "7650", false},
    {"enter_in_a_box_does_nothing", "Text3", VK_RETURN, false, false, "NOKIA", false},
    {"escape_is_unbound", "Command31", VK_ESCAPE, false, false, "NOKIA", false},
    {"ctrl_q_closes", "Text1", 'Q', true, false, nullptr, true},
    {"ctrl_w_closes", "Command1", 'W', true, false, nullptr, true},
});

class Key : public MainWindow, public ::testing::WithParamInterface<KeyCase> { };

TEST_P(Key, DoesWhatItDoesInTheWindow)
{
    const KeyCase &row = GetParam();
    SetFocus(handle(row.focus));
    const bool closed = press(row.key, false, row.control, row.extended);
    EXPECT_EQ(closed, row.closes);
    if (row.closes) {
        EXPECT_EQ(form->window(), nullptr) << "the window is gone";
        return;
    }
    EXPECT_EQ(textOf(handle("Text1")), row.model);
    EXPECT_EQ(focused(), row.focus) << "the focus stays";
}

INSTANTIATE_TEST_SUITE_P(Form1, Key, ::testing::ValuesIn(kKeys),
                         [](const auto &info) { return std::string(info.param.label); });

// Refused writes

// Makes a box keep at most two characters of what it is given, as a box with a length limit
// would.
LRESULT CALLBACK keepTwoCharacters(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR /*id*/, DWORD_PTR /*data*/)
{
    if (message == WM_SETTEXT && lParam != 0) {
        const std::wstring kept
            = std::wstring(reinterpret_cast<const wchar_t *>(lParam)).substr(0, 2);
        return DefSubclassProc(box, message, wParam, reinterpret_cast<LPARAM>(kept.c_str()));
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

// What the error report said; it is closed as the user would close it.
std::string g_reported;

void CALLBACK closeReport(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/)
{
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM timerId) -> BOOL {
            std::array<wchar_t, 16> className {};
            GetClassNameW(window, className.data(), static_cast<int>(className.size()));
            if (std::wstring(className.data()) != L"#32770" || IsWindowVisible(window) == FALSE) {
                return TRUE;
            }
            EnumChildWindows(
                window,
                [](HWND child, LPARAM) -> BOOL {
                    g_reported += textOf(child) + "\n";
                    return TRUE;
                },
                0);
            KillTimer(nullptr, static_cast<UINT_PTR>(timerId));
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            return FALSE;
        },
        static_cast<LPARAM>(timer));
}

void refuse(HWND box, bool gone)
{
    if (gone) {
        DestroyWindow(box);
    } else {
        SetWindowSubclass(box, keepTwoCharacters, 1, 0);
    }
}

class RefusedWrite : public MainWindow,
                     public ::testing::WithParamInterface<testing_support::RefusalCase> { };

// A box that cannot hold the text: the report names the error, the box and the operation, the
// loop is told to end with the untrapped error's status; the boxes before it show the new record
// and those after it their old texts.
TEST_P(RefusedWrite, IsReportedAndEndsTheLoopLeavingLaterBoxesUntouched)
{
    const testing_support::RefusalCase &c = GetParam();
    const HangGuard guard(std::string("a refused write, ") + c.label);
    const std::string name = "Text" + std::to_string(c.box);
    for (int n = 1; n <= 16; ++n) {
        SetWindowTextW(handle("Text" + std::to_string(n)), L"old");
    }
    refuse(handle(name), c.gone);
    g_reported.clear();
    SetTimer(nullptr, 0, 20, closeReport);
    SendMessageW(handle("Command24"), BM_CLICK, 0, 0); // 3510I; returns once the report is closed
    int status = -1;
    EXPECT_TRUE(pump(*form, &status));
    EXPECT_EQ(status, forms::kUntrappedErrorExitCode);
    EXPECT_NE(g_reported.find(c.shown), std::string::npos) << g_reported;
    EXPECT_NE(g_reported.find(name + ","), std::string::npos) << g_reported;
    EXPECT_NE(g_reported.find("set Text"), std::string::npos) << g_reported;

    const auto texts = expectedTexts(*ComponentCatalogue::findByButton("Command24"));
    for (int n = 1; n <= 16; ++n) {
        if (n != c.box) {
            EXPECT_EQ(textOf(handle("Text" + std::to_string(n))),
                      n < c.box ? texts.at(n - 1) : "old")
                << n;
        }
    }
    EXPECT_EQ(form->heldReferences(), 0);
}

INSTANTIATE_TEST_SUITE_P(Form1, RefusedWrite, ::testing::ValuesIn(testing_support::kRefusals),
                         [](const auto &info) { return std::string(info.param.label); });

// The whole path in a process of its own, through the program's own loop: the report's line on
// stderr, and the untrapped error's exit status once the user has closed it.
TEST(UntrappedError, EndsTheProgramWithItsStatusAndTheLineOnStderr)
{
    EXPECT_EXIT(
        {
            const HangGuard guard("the untrapped error's report");
            forms::setProgramName(icatlas::ui::kProject.name); // as the program's start names it
            const auto form = showMainWindow();
            if (form == nullptr) {
                std::exit(1);
            }
            refuse(form->handle("Text2"), false);
            PostMessageW(form->handle("Command31"), BM_CLICK, 0, 0);
            SetTimer(nullptr, 0, 20, closeReport);
            std::exit(forms::runEventLoop(*form));
        },
        ::testing::ExitedWithCode(forms::kUntrappedErrorExitCode),
        "icatlas: Run-time error '380': Invalid property value .* in Text2, set Text");
}

} // namespace
