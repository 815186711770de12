// SPDX-License-Identifier: MIT
// The main window, Form1, as data: every control with its caption, place in twips, font, colour
// and tab index. The model buttons are derived from the catalogue, so a model's caption and its
// place come from one record. Checked at compile time.
#pragma once

#include "catalogue/catalogue.hpp"
#include "forms/definition.hpp"
#include "forms/project.hpp"

#include <array>
#include <cstddef>

namespace icatlas::ui {

using forms::ControlDefinition;
using forms::ControlKind;
using forms::Font;

// The face the window was designed with; the runtime substitutes an installed, metric-compatible
// one where it is missing. Character set 178 is what the design declares.
inline constexpr std::string_view kFace = "MS Sans Serif";
inline constexpr Font kTitleFont {kFace, 2400, 700, 178};
inline constexpr Font kFrameFont {kFace, 975, 700, 178};
inline constexpr Font kSmallFont {kFace, 825, 700, 178};

// Model buttons: two rows of up to ten in each family's frame.
inline constexpr forms::Twips kButtonWidth = 735;
inline constexpr forms::Twips kButtonHeight = 375;
inline constexpr forms::Twips kButtonFirstLeft = 120;
inline constexpr forms::Twips kButtonPitch = 840;
inline constexpr std::array<forms::Twips, 2> kButtonRowTops {360, 840};
inline constexpr std::size_t kButtonsPerRow = 10;

namespace detail {

// Controls created before the buttons: the picture lies under the frames it overlaps.
inline constexpr std::array<ControlDefinition, 7> kHead {{
    {.kind = ControlKind::Picture,
     .name = "Image1",
     .left = 120,
     .top = -120,
     .width = 1515,
     .height = 1380,
     .picture = ":/icatlas/banner.bmp",
     .accessibleName = "Banner",
     .accessibleDescription = "NOKIA GSM ICs in yellow capitals on black"},
    {.kind = ControlKind::Label,
     .name = "Label10",
     .text = "NOKIA GSM ICs",
     .left = 1680,
     .top = 0,
     .width = 3855,
     .height = 495,
     .font = kTitleFont,
     .tabIndex = 70},
    {.kind = ControlKind::Label,
     .name = "Label11",
     .text = "BY",
     .left = 4800,
     .top = 480,
     .width = 735,
     .height = 495,
     .font = kTitleFont,
     .colour = forms::kBlue,
     .tabIndex = 71},
    {.kind = ControlKind::Label,
     .name = "Label9",
     .text = "MOSSGROVE",
     .left = 5520,
     .top = 720,
     .width = 3255,
     .height = 495,
     .font = kTitleFont,
     .tabIndex = 69},
    {.kind = ControlKind::Frame,
     .name = familyFrame(PlatformFamily::DCT3),
     .text = familyCaption(PlatformFamily::DCT3),
     .left = 120,
     .top = 1200,
     .width = 8655,
     .height = 1455,
     .font = kFrameFont,
     .colour = forms::kBlue,
     .tabIndex = 0},
    {.kind = ControlKind::Frame,
     .name = familyFrame(PlatformFamily::DCT4),
     .text = familyCaption(PlatformFamily::DCT4),
     .left = 120,
     .top = 2760,
     .width = 8655,
     .height = 1455,
     .font = kFrameFont,
     .colour = forms::kBlue,
     .tabIndex = 18},
    {.kind = ControlKind::Frame,
     .name = familyFrame(PlatformFamily::WD2),
     .text = familyCaption(PlatformFamily::WD2),
     .left = 120,
     .top = 4320,
     .width = 8655,
     .height = 975,
     .font = kFrameFont,
     .colour = forms::kBlue,
     .tabIndex = 39},
}};

// The model box, the column headings and the fifteen component boxes (red, empty at start).
inline constexpr std::array<ControlDefinition, 24> kTail {{
    {.kind = ControlKind::Label,
     .name = "Label1",
     .text = "Phone Model",
     .left = 120,
     .top = 5520,
     .width = 1215,
     .height = 255,
     .font = kSmallFont,
     .tabIndex = 46},
    {.kind = ControlKind::TextBox,
     .name = "Text1",
     .text = "NOKIA",
     .left = 1440,
     .top = 5520,
     .width = 735,
     .height = 285,
     .font = kSmallFont,
     .tabIndex = 45,
     .accessibleName = "Phone Model",
     .accessibleDescription = "The model whose ICs the boxes show; a model button chooses it"},
    {.kind = ControlKind::Label,
     .name = "Label4",
     .text = "UEM",
     .left = 2880,
     .top = 5760,
     .width = 975,
     .height = 255,
     .font = kFrameFont,
     .tabIndex = 55},
    {.kind = ControlKind::Label,
     .name = "Label2",
     .text = "PA IC",
     .left = 120,
     .top = 6000,
     .width = 855,
     .height = 255,
     .font = kFrameFont,
     .tabIndex = 51},
    {.kind = ControlKind::Label,
     .name = "Label3",
     .text = "RF IC",
     .left = 1440,
     .top = 6000,
     .width = 615,
     .height = 255,
     .font = kFrameFont,
     .tabIndex = 52},
    {.kind = ControlKind::Label,
     .name = "Label8",
     .text = "POWER IC",
     .left = 2880,
     .top = 6000,
     .width = 1215,
     .height = 255,
     .font = kSmallFont,
     .tabIndex = 68},
    {.kind = ControlKind::Label,
     .name = "Label5",
     .text = "UPP",
     .left = 4320,
     .top = 6000,
     .width = 1335,
     .height = 255,
     .font = kSmallFont,
     .tabIndex = 58},
    {.kind = ControlKind::Label,
     .name = "Label6",
     .text = "FLASH IC",
     .left = 5760,
     .top = 6000,
     .width = 1095,
     .height = 255,
     .font = kSmallFont,
     .tabIndex = 61},
    {.kind = ControlKind::Label,
     .name = "Label7",
     .text = "RAM IC",
     .left = 7800,
     .top = 6000,
     .width = 1215,
     .height = 255,
     .font = kSmallFont,
     .tabIndex = 64},
    {.kind = ControlKind::TextBox,
     .name = "Text2",
     .left = 120,
     .top = 6240,
     .width = 1215,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 47,
     .accessibleName = "PA IC 1"},
    {.kind = ControlKind::TextBox,
     .name = "Text3",
     .left = 120,
     .top = 6600,
     .width = 1215,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 48,
     .accessibleName = "PA IC 2"},
    {.kind = ControlKind::TextBox,
     .name = "Text4",
     .left = 120,
     .top = 6960,
     .width = 1215,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 49,
     .accessibleName = "PA IC 3"},
    {.kind = ControlKind::TextBox,
     .name = "Text5",
     .left = 120,
     .top = 7320,
     .width = 1215,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 50,
     .accessibleName = "PA IC 4"},
    {.kind = ControlKind::TextBox,
     .name = "Text6",
     .left = 1440,
     .top = 6240,
     .width = 1335,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 53,
     .accessibleName = "RF IC 1"},
    {.kind = ControlKind::TextBox,
     .name = "Text7",
     .left = 1440,
     .top = 6600,
     .width = 1335,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 54,
     .accessibleName = "RF IC 2"},
    {.kind = ControlKind::TextBox,
     .name = "Text8",
     .left = 2880,
     .top = 6240,
     .width = 1335,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 56,
     .accessibleName = "POWER IC (UEM) 1"},
    {.kind = ControlKind::TextBox,
     .name = "Text9",
     .left = 2880,
     .top = 6600,
     .width = 1335,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 57,
     .accessibleName = "POWER IC (UEM) 2"},
    {.kind = ControlKind::TextBox,
     .name = "Text10",
     .left = 4320,
     .top = 6240,
     .width = 1335,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 59,
     .accessibleName = "UPP 1"},
    {.kind = ControlKind::TextBox,
     .name = "Text11",
     .left = 4320,
     .top = 6600,
     .width = 1335,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 60,
     .accessibleName = "UPP 2"},
    {.kind = ControlKind::TextBox,
     .name = "Text12",
     .left = 5760,
     .top = 6240,
     .width = 1935,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 62,
     .accessibleName = "FLASH IC 1"},
    {.kind = ControlKind::TextBox,
     .name = "Text13",
     .left = 5760,
     .top = 6600,
     .width = 1935,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 63,
     .accessibleName = "FLASH IC 2"},
    {.kind = ControlKind::TextBox,
     .name = "Text14",
     .left = 7800,
     .top = 6240,
     .width = 1695,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 65,
     .accessibleName = "RAM IC 1"},
    {.kind = ControlKind::TextBox,
     .name = "Text15",
     .left = 7800,
     .top = 6600,
     .width = 1695,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 66,
     .accessibleName = "RAM IC 2"},
    {.kind = ControlKind::TextBox,
     .name = "Text16",
     .left = 7800,
     .top = 6960,
     .width = 1695,
     .height = 375,
     .font = kSmallFont,
     .colour = forms::kRed,
     .tabIndex = 67,
     .accessibleName = "RAM IC 3"},
}};

inline constexpr std::size_t kControlCount
    = kHead.size() + ComponentCatalogue::records().size() + kTail.size();

// A family's buttons follow their frame in tab order: upper row left to right, then the lower.
constexpr ControlDefinition modelButton(const ModelRecord &record, std::size_t place)
{
    const ControlDefinition *frame = forms::findDefinition(kHead, familyFrame(record.family));
    return {.kind = ControlKind::CommandButton,
            .name = record.button,
            .text = record.model,
            .container = frame->name,
            .left
            = kButtonFirstLeft + kButtonPitch * static_cast<forms::Twips>(place % kButtonsPerRow),
            .top = kButtonRowTops.at(place / kButtonsPerRow),
            .width = kButtonWidth,
            .height = kButtonHeight,
            .font = kFrameFont,
            .tabIndex = static_cast<std::int16_t>(frame->tabIndex + 1 + static_cast<int>(place))};
}

constexpr std::array<ControlDefinition, kControlCount> form1Controls()
{
    std::array<ControlDefinition, kControlCount> controls {};
    std::size_t next = 0;
    for (const ControlDefinition &control : kHead) {
        controls.at(next++) = control;
    }
    for (const PlatformFamily family : kFamilies) {
        const auto records = ComponentCatalogue::family(family);
        for (std::size_t place = 0; place < records.size(); ++place) {
            controls.at(next++) = modelButton(records[place], place);
        }
    }
    for (const ControlDefinition &control : kTail) {
        controls.at(next++) = control;
    }
    return controls;
}

} // namespace detail

inline constexpr std::array<ControlDefinition, detail::kControlCount> kForm1Controls
    = detail::form1Controls();

// The banner pictures compiled into one resource bundle (ui/resources/banner.qrc); the array is
// generated at build time, so its size is not known here.
extern const unsigned char kPictureBundle[]; // NOLINT(modernize-avoid-c-arrays)

inline constexpr forms::FormDefinition kForm1 {
    .name = "Form1",
    .caption = "NOKIA GSM ICs 1.00 - part numbers by MOSSGROVE",
    .clientWidth = 9630,
    .clientHeight = 7875,
    .font = kFrameFont,
    .controls = kForm1Controls,
    .resources = kPictureBundle,
};

static_assert(kForm1Controls.size() == 73);
static_assert(forms::check::uniqueNames(kForm1Controls));
static_assert(forms::check::tabIndexesDense(kForm1Controls), "tab indexes 0-71, each once");
static_assert(forms::check::containedInFrames(kForm1Controls), "buttons lie inside their frames");
static_assert(forms::check::containersFirst(kForm1Controls));

// Binds each model button's click to the selection of its own record.
void connectClickHandlers(forms::Form &form);

inline constexpr forms::ProjectDescription kProject {
    .name = "icatlas",
    .version = "1.00",
    .desktopFileName = "io.github.icatlas.ICAtlas",
    .startupForm = &kForm1,
    .connectEvents = &connectClickHandlers,
};

} // namespace icatlas::ui
