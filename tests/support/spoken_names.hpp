// SPDX-License-Identifier: MIT
// What a listener hears of the main window on every system: each control's accessible name and
// description, and what a press of a model button announces. Worked by hand from the window's
// captions and column headings, with each button named by its model in the click table.
#pragma once

#include "tests/support/window_expectations.hpp"

#include <string>
#include <vector>

namespace testing_support {

struct SpokenName {
    std::string control;
    std::string name;
    std::string description;
};

// Every control of Form1; the buttons say their model (the frame is announced as the focus
// enters it; its caption is not repeated per button).
inline std::vector<SpokenName> spokenNames()
{
    std::vector<SpokenName> rows {
        {"Image1", "Banner", "NOKIA GSM ICs in yellow capitals on black"},
        {"Label10", "NOKIA GSM ICs", ""},
        {"Label11", "BY", ""},
        {"Label9", "MOSSGROVE", ""},
        {"Frame1", "NOKIA DCT3 PHONE", ""},
        {"Frame2", "NOKIA DCT4 PHONE", ""},
        {"Frame3", "NOKIA WD2 PHONE", ""},
        {"Label1", "Phone Model", ""},
        {"Text1", "Phone Model", "The model whose ICs the boxes show; a model button chooses it"},
        {"Label4", "UEM", ""},
        {"Label2", "PA IC", ""},
        {"Label3", "RF IC", ""},
        {"Label8", "POWER IC", ""},
        {"Label5", "UPP", ""},
        {"Label6", "FLASH IC", ""},
        {"Label7", "RAM IC", ""},
        {"Text2", "PA IC 1", ""},
        {"Text3", "PA IC 2", ""},
        {"Text4", "PA IC 3", ""},
        {"Text5", "PA IC 4", ""},
        {"Text6", "RF IC 1", ""},
        {"Text7", "RF IC 2", ""},
        {"Text8", "POWER IC (UEM) 1", ""},
        {"Text9", "POWER IC (UEM) 2", ""},
        {"Text10", "UPP 1", ""},
        {"Text11", "UPP 2", ""},
        {"Text12", "FLASH IC 1", ""},
        {"Text13", "FLASH IC 2", ""},
        {"Text14", "RAM IC 1", ""},
        {"Text15", "RAM IC 2", ""},
        {"Text16", "RAM IC 3", ""},
    };
    for (const ClickCase &row : kClicks) {
        rows.push_back({std::string(row[0]), std::string(row[1]), ""});
    }
    return rows;
}

// What a press announces: the model, then each box that is not blank by its name and text, a
// trailing blank kept.
inline constexpr const char *kAnnounced6310I
    = "6310I: PA IC 1 PF08125B, RF IC 1 MJOELNER, POWER IC (UEM) 1 4370805, UPP 1 4370815, "
      "FLASH IC 1 N643HT7MI, RAM IC 1 @UPP";
inline constexpr const char *kAnnounced3210
    = "3210: PA IC 1 PF01420B , PA IC 2 PF04110B, PA IC 3 BGY252, PA IC 4 BGY262, RF IC 1 CRFU3 , "
      "RF IC 2 SUMMA, POWER IC (UEM) 1 CCONT , POWER IC (UEM) 2 TEA1210TS, FLASH IC 1 F160B3TA, "
      "FLASH IC 2 M28W160BT, RAM IC 1 HY62U8100B, RAM IC 2 KM68U1000ELTGI, RAM IC 3 KM68FS1000TGI";

} // namespace testing_support
