// SPDX-License-Identifier: MIT
// What the main window must show and do, whichever runtime realises it, worked out by hand or
// copied from the catalogue's published table, never computed by the program: the places of a few
// controls, the focus order, the sixteen texts each click leaves, the key rows and the boxes that
// refuse a write. Toolkit-free, so every realisation is held to the same rows.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace testing_support {

// A control's place in device pixels from its container, as a realisation reports it.
struct Place {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string container; // empty: the client area
};

struct PixelCase {
    const char *label;
    std::string_view control;
    // In device pixels at 96 DPI and a scale of 1, from the control's container.
    int x;
    int y;
    int width;
    int height;
    std::string_view container; // empty: the client area
};

// A few controls in device pixels, worked out by hand from their twips (15 to the pixel).
inline constexpr auto kPixels = std::to_array<PixelCase>({
    {"banner_above_the_client_area", "Image1", 8, -8, 101, 92, ""},
    {"title", "Label10", 112, 0, 257, 33, ""},
    {"dct3_frame", "Frame1", 8, 80, 577, 97, ""},
    {"wd2_frame", "Frame3", 8, 288, 577, 65, ""},
    {"first_button_in_its_frame", "Command1", 8, 24, 49, 25, "Frame1"},
    {"lower_row_in_the_dct4_frame", "Command31", 120, 56, 49, 25, "Frame2"},
    {"last_button_in_its_frame", "Command42", 232, 24, 49, 25, "Frame3"},
    {"model_box", "Text1", 96, 368, 49, 19, ""},
    {"last_ram_box", "Text16", 520, 464, 113, 25, ""},
});

// Focus order by tab index: the frames' buttons in place order (Command25 opens WD2), then the
// model box and the component boxes column by column.
inline std::vector<std::string> focusOrder()
{
    std::vector<std::string> order;
    using Run = std::tuple<const char *, int, int>; // names, from first to last
    for (const auto &[name, first, last] : std::to_array<Run>({{"Command", 1, 24},
                                                               {"Command", 26, 38},
                                                               {"Command", 25, 25},
                                                               {"Command", 39, 42},
                                                               {"Text", 1, 16}})) {
        for (int n = first; n <= last; ++n) {
            order.push_back(std::string(name) + std::to_string(n));
        }
    }
    return order;
}

// The button, then the sixteen texts a click on it leaves in the boxes, Text1 (its caption) to
// Text16, in window order, as the catalogue's table publishes them: trailing blanks are part of
// the text.
using ClickCase = std::array<std::string_view, 17>;

inline constexpr auto kClicks = std::to_array<ClickCase>({
    {"Command1", "2100", "PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341",
     "F1602C3T70", "@FLASH_IC", "", ""},
    {"Command2", "3210", "PF01420B ", "PF04110B", "BGY252", "BGY262", "CRFU3 ", "SUMMA", "CCONT ",
     "TEA1210TS", "", "", "F160B3TA", "M28W160BT", "HY62U8100B", "KM68U1000ELTGI", "KM68FS1000TGI"},
    {"Command3", "3310", "PF08109B", "BGY270", "RF3103", "", "HAGAR", "", "CCONT", "", "", "",
     "F160B3TA", "M28W160BT", "K6F1016U4A (1Mbit)", "K6F1016U4B", "K6F1016U4C"},
    {"Command4", "3330", "PF08109B", "BGY270", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC",
     "", "K6F2016U4D (2Mbit)", "", ""},
    {"Command5", "3410", "PF08109B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC",
     "M28W320ECT", "4Mbit", "", ""},
    {"Command6", "5110", "BGY251", "BGY240", "4370319", "", "CRFU1", "PLUSSA", "NMP4370047", "", "",
     "", "TE28F800B3TA", "", "KM68U512ALTGE (512kbit)", "", ""},
    {"Command7", "5210", "PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F3204C3T100",
     "F3204C3T70", "@FLASH_IC", "", ""},
    {"Command8", "5510", "PF08109B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC ",
     "K9K1208UOA", "K6F2016U4A (2Mbit)", "", ""},
    {"Command9", "6110", "4370319", "", "", "", "CRFU1 ", "PLUSSA", "NMP4370047", "", "", "",
     "TE28F800", "", "KM68U512ALTGE", "", ""},
    {"Command10", "6150", "4370451", "4370453", "4370577", "4370453", "CRFU3E(4370407)", "SUMMA",
     "NMP4370391", "", "", "", "TE28F160B3TA(Intel)", "LH28F160BGHE(SHARP)", "KM68FS1000TGI", "",
     ""},
    {"Command11", "6210", "PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TA",
     "F320B3TC", "KM68U4100CLZI (4Mbit)", "K6T4008U2C", ""},
    {"Command12", "7110", "PF01411B", "PF0414B", "", "", "CRFU3 ", "SUMMA", "CCONT", "", "", "",
     "2x F160B3TA", "", "KM68U4000CLTI", "", ""},
    {"Command13", "8210", "PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341",
     "F1602C3T110", "@FLASH_IC", "", ""},
    {"Command14", "8250", "PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F1602C3T110",
     "", "@FLASH_IC", "", ""},
    {"Command15", "8810", "PF01411B", "", "", "", "CRFU1 ", "SUMMA", "CCONT", "", "", "",
     "F160B3T120", "", "KM616FS2000ZI", "", ""},
    {"Command16", "8850", "PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "",
     "@FLASH_IC", "", ""},
    {"Command17", "8890", "?4350247(RF9205)", "", "", "", "HAGAR", "", "CCONT", "", "", "",
     "LRS1341", "", "@FLASH_IC", "", ""},
    {"Command18", "1100", "RF3162", "RF3132", "PF08133B?", "", "MJOELNER999", "", "4370825", "",
     "4377005", "", "? M58MR016C", "", "@UPP", "", ""},
    {"Command19", "2300", "RF3162", "RF3132", "PF08133B?", "", "MJOELNER999", "", "4370825", "",
     "4377005", "", "? M58MR016C", "", "@UPP", "", ""},
    {"Command20", "3100", "QCPM-8893", "PF08125B", "", "", "MJOELNER", "", "4376001", "", "4370931",
     "", "K5U64418TM", "", "@FLASH_IC", "", ""},
    {"Command21", "3200", "09003BN", "", "", "", "HELGO", "", "4370959", "", "4375019", "",
     "K5U64418TM", "", "@FLASH_IC", "", ""},
    {"Command22", "3220", "4355641", "9250E4.1", "", "", "4371005", "", "4376371", "", "4371105",
     "", "K5U28178TM", "", "@FLASH_IC", "", ""},
    {"Command23", "3510", "PF08109B", "RF3103", "", "", "MJOELNER", "", "4370805", "4370825",
     "4370815", "", "??\?(4Mx16)", "", "@UPP", "", ""},
    {"Command24", "3510I", "RF3103", "08125BN", "", "", "MJOELNER", "", "4370825", "", "4370873",
     "4370931", "F640W18T", "K8S64158TM", "K6F4008R2E", "EM640FP8", ""},
    {"Command26", "5100", "4350383", "", "", "", "HELGA", "", "4370825", "", "4370873", "",
     "K8S64158TM", "", "K6F4008R2E", "", ""},
    {"Command27", "6100", "QCPM-8893", "4350383", "", "", "MJOELNER", "", "4376001", "4370825",
     "4370873", "", "K5U64418TM", "", "@FLASH_IC", "", ""},
    {"Command28", "6220", "09003BN", "", "", "", "HELGO", "", "4370959", "", "4375017", "",
     "K5U28818TM", "", "@FLASH_IC", "", ""},
    {"Command29", "6230", "4359017", "", "", "", "HELGO", "", "4370945", "4376371", "4375107", "",
     "K8S2815ETA(8Mx16)", "&?(4Mx16)", "K4M64163PG(4Mx16)", "", ""},
    {"Command30", "6310", "4350297", "PF08125B", "", "", "HAGAR", "", "4370805", "", "4370815", "",
     "F640W18T", "?N643HT7MI", "@UPP", "", ""},
    {"Command31", "6310I", "PF08125B", "", "", "", "MJOELNER", "", "4370805", "", "4370815", "",
     "N643HT7MI", "", "@UPP", "", ""},
    {"Command32", "6510", "4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "",
     "F640W18T", "N643HT7MI", "@UPP", "", ""},
    {"Command33", "6610", "4350383", "", "", "", "HELGA", "", "4370825", "4370841", "4370873", "",
     "F128W18T", "K8S64158TM", "K6F4008R2E", "", ""},
    {"Command34", "7210", "4350383", "", "", "", "HELGA", "", "4370825", "4370841", "4370873", "",
     "F128W18T", "K8S64158TM", "K6F4008R2E", "", ""},
    {"Command35", "7250", "4350383", "", "", "", "HELGA", "", "4370825", "", "4370873", "4370931",
     "K5U28818TM", "??K8S64418TM", "@FLASH_IC", "", ""},
    {"Command36", "8310", "4350297", "435H093", "", "", "HAGAR", "", "4370805", "4370825",
     "4370815", "", "F640W18T", "?N643HT7MI", "@UPP", "", ""},
    {"Command37", "8910", "4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "",
     "F640W18T", "?N643HT7MI", "@UPP", "", ""},
    {"Command38", "8910I", "4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "",
     "COMBO 4M+256kx16", "", "@FLASH_IC", "", ""},
    {"Command25", "3600", "RF3132", "", "", "", "MJOELNER", "", "4370825", "", "4370943", "",
     "3x N643HT7MI", "", "K4S64163JF (4M x16)", "", ""},
    {"Command39", "3650", "PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370871", "",
     "3x N643GT7MI", "", "K4S64163JF (4M x16)", "", ""},
    {"Command40", "3660", "PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370871", "",
     "3x N643GT7MI", "", "K4S64163JF (4M x16)", "", ""},
    {"Command41", "6600", "PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370943", "",
     "4x N643HT7MI", "4x M58NR064ET (4Mx16)", "K4M28163PD (8M x16)", "", ""},
    {"Command42", "7650", "4350297 ", "(RF9203)", "", "", "HAGAR", "", "4370825", "", "4370871", "",
     "AM29N323D (2M x16)", "F128W18T (8M x16)", "K4S64163JF (4M x16)", "", ""},
});

// The sixteen texts a click on the button leaves.
inline std::array<std::string, 16> textsAfter(std::string_view button)
{
    for (const ClickCase &row : kClicks) {
        if (row[0] == button) {
            std::array<std::string, 16> texts;
            std::copy(row.begin() + 1, row.end(), texts.begin());
            return texts;
        }
    }
    throw std::logic_error("no row for " + std::string(button));
}

// The sixteen boxes' texts, Text1 to Text16, as a window's driver reads them with text(name).
template <class Window> std::array<std::string, 16> boxTexts(Window &window)
{
    std::array<std::string, 16> texts;
    for (int n = 1; n <= 16; ++n) {
        texts.at(n - 1) = window.text("Text" + std::to_string(n));
    }
    return texts;
}

enum class KeyEffect : std::uint8_t { Presses, Closes, Nothing };

// The keys as a user presses them; each realisation sends its own events for them.
enum class TestKey : std::uint8_t { Space, Enter, KeypadEnter, Escape, Q, W };

struct KeyCase {
    const char *label;
    std::string_view focus; // the control the key goes to
    TestKey key;
    bool shift;
    bool control;
    KeyEffect effect;
};

// A pressing key clicks the focused button once, as a mouse click does, and leaves the focus on
// it; the closing keys close the window from any control; every other key changes nothing.
inline constexpr auto kKeys = std::to_array<KeyCase>({
    {"space_presses", "Command31", TestKey::Space, false, false, KeyEffect::Presses},
    {"enter_presses", "Command31", TestKey::Enter, false, false, KeyEffect::Presses},
    {"keypad_enter_presses", "Command42", TestKey::KeypadEnter, false, false, KeyEffect::Presses},
    {"shift_enter_does_nothing", "Command31", TestKey::Enter, true, false, KeyEffect::Nothing},
    {"enter_in_a_box_does_nothing", "Text3", TestKey::Enter, false, false, KeyEffect::Nothing},
    {"escape_leaves_the_window_open", "Command31", TestKey::Escape, false, false,
     KeyEffect::Nothing},
    {"q_alone_does_nothing", "Command31", TestKey::Q, false, false, KeyEffect::Nothing},
    {"ctrl_q_closes", "Command31", TestKey::Q, false, true, KeyEffect::Closes},
    {"ctrl_w_closes", "Command1", TestKey::W, false, true, KeyEffect::Closes},
    {"ctrl_q_closes_from_a_box", "Text1", TestKey::Q, false, true, KeyEffect::Closes},
    {"ctrl_w_closes_from_a_box", "Text14", TestKey::W, false, true, KeyEffect::Closes},
});

struct RefusalCase {
    std::string label;
    int box; // 1..16: the box that refuses any text but the empty one, or is gone
    bool gone; // the box's control was destroyed
    std::string_view button; // the first model whose text there is not blank, which a box refuses
    std::string shown; // what the report says, worked out by hand
};

// Each box in turn refuses its text, then is gone.
inline std::vector<RefusalCase> refusalCases()
{
    std::vector<RefusalCase> cases;
    for (int box = 1; box <= 16; ++box) {
        const auto *const row
            = std::find_if(kClicks.begin(), kClicks.end(),
                           [box](const ClickCase &click) { return !click.at(box).empty(); });
        const std::string name = "Text" + std::to_string(box);
        cases.push_back({name + "_refuses", box, false, row->at(0),
                         "Run-time error '380': Invalid property value (0x800A017C) in " + name
                             + ", set Text"});
        cases.push_back(
            {name + "_is_gone", box, true, row->at(0),
             "Run-time error '424': Object required (0x800A01A8) in " + name + ", set Text"});
    }
    return cases;
}

} // namespace testing_support
