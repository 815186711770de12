// SPDX-License-Identifier: MIT
// The main window, Form1, as data: every control with its caption, place in twips, font, colour
// and tab index. The model buttons and the component columns are derived from the catalogue, so a
// model's caption and place, or a column's heading and boxes, come from one record. Checked at
// compile time.
#pragma once

#include "catalogue/catalogue.hpp"
#include "forms/core/definition.hpp"
#include "forms/core/project.hpp"
#include "icatlas/build_facts.hpp"

#include <algorithm>
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

// The model box and its label, before the columns.
inline constexpr std::array<ControlDefinition, 2> kModelControls {{
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
}};

// The columns' captions and boxes (catalogue's kColumns): the qualifiers on one line, the headings
// on the next, then the boxes row under row.
inline constexpr forms::Twips kQualifierTop = 5760;
inline constexpr forms::Twips kHeadingTop = 6000;
inline constexpr forms::Twips kCaptionHeight = 255;
inline constexpr forms::Twips kFirstBoxTop = 6240;
inline constexpr forms::Twips kBoxPitch = 360;
inline constexpr forms::Twips kBoxHeight = 375;

inline constexpr std::size_t kQualifierCount = static_cast<std::size_t>(
    std::count_if(kColumns.begin(), kColumns.end(),
                  [](const ColumnInfo &c) { return !c.qualifier.text.empty(); }));

// What a screen reader calls each component box: its column's heading, the qualifier in
// brackets, and its row from 1 ("POWER IC (UEM) 1").
inline constexpr std::array<forms::FixedText<32>, kSlotCount> kSpokenBoxNames = [] {
    std::array<forms::FixedText<32>, kSlotCount> names {};
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        const ComponentSlot &slot = kComponentSlots.at(i);
        const ColumnInfo &column = columnInfo(slot.column);
        names.at(i).append(column.heading.text);
        if (!column.qualifier.text.empty()) {
            names.at(i).append(" (").append(column.qualifier.text).append(")");
        }
        names.at(i).append(" ").append(std::size_t {slot.row} + 1);
    }
    return names;
}();

constexpr ControlDefinition columnCaption(const ColumnCaption &caption, forms::Twips left,
                                          forms::Twips top)
{
    return {.kind = ControlKind::Label,
            .name = caption.label,
            .text = caption.text,
            .left = left,
            .top = top,
            .width = caption.width,
            .height = kCaptionHeight,
            .font = caption.size == CaptionSize::Frame ? kFrameFont : kSmallFont,
            .tabIndex = caption.tabIndex};
}

constexpr ControlDefinition componentBox(std::size_t index)
{
    const ComponentSlot &slot = kComponentSlots.at(index);
    const ColumnInfo &column = columnInfo(slot.column);
    return {.kind = ControlKind::TextBox,
            .name = slot.box,
            .left = column.left,
            .top = kFirstBoxTop + kBoxPitch * slot.row,
            .width = column.boxWidth,
            .height = kBoxHeight,
            .font = kSmallFont,
            .colour = forms::kRed,
            .tabIndex = static_cast<std::int16_t>(column.firstBoxTabIndex + slot.row),
            .accessibleName = kSpokenBoxNames.at(index).view()};
}

inline constexpr std::size_t kTailCount
    = kModelControls.size() + kQualifierCount + kColumns.size() + kSlotCount;

// Created after the buttons: the model box, the columns' captions, then their boxes.
constexpr std::array<ControlDefinition, kTailCount> tailControls()
{
    std::array<ControlDefinition, kTailCount> controls {};
    std::size_t next = 0;
    for (const ControlDefinition &control : kModelControls) {
        controls.at(next++) = control;
    }
    for (const ColumnInfo &column : kColumns) {
        if (!column.qualifier.text.empty()) {
            controls.at(next++) = columnCaption(column.qualifier, column.left, kQualifierTop);
        }
    }
    for (const ColumnInfo &column : kColumns) {
        controls.at(next++) = columnCaption(column.heading, column.left, kHeadingTop);
    }
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        controls.at(next++) = componentBox(i);
    }
    return controls;
}

inline constexpr std::array<ControlDefinition, kTailCount> kTail = tailControls();

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

// The banner pictures compiled into one resource bundle (ui/resources/banner.qrc.in); the array is
// generated at build time, so its size is not known here.
extern const unsigned char kPictureBundle[]; // NOLINT(modernize-avoid-c-arrays)

namespace detail {

inline constexpr auto kForm1Caption = [] {
    forms::FixedText<64> caption;
    caption.append("NOKIA GSM ICs ").append(kVersion).append(" - part numbers by MOSSGROVE");
    return caption;
}();

} // namespace detail

inline constexpr forms::FormDefinition kForm1 {
    .name = "Form1",
    .caption = detail::kForm1Caption.view(),
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

// The program's icon as installed for desktops, at the sizes window managers show (in the bundle).
inline constexpr std::array<std::string_view, 4> kIcon {
    ":/icatlas/icon/16.png",
    ":/icatlas/icon/32.png",
    ":/icatlas/icon/48.png",
    ":/icatlas/icon/64.png",
};

inline constexpr forms::ProjectDescription kProject {
    .name = "icatlas",
    .version = kVersion,
    .desktopFileName = kApplicationId,
    .startupForm = &kForm1,
    .connectEvents = &connectClickHandlers,
    .icon = kIcon,
};

} // namespace icatlas::ui
