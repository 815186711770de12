// SPDX-License-Identifier: MIT
// The main window, Form1, as data checked at compile time: the catalogue gives the models, the
// columns' headings and boxes; where they stand, their frames, labels and tab order are kept here.
#pragma once

#include "catalogue/catalogue.hpp"
#include "forms/core/definition.hpp"
#include "forms/core/project.hpp"
#include "icatlas/build_facts.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace icatlas::ui {

using forms::ControlDefinition;
using forms::Font;

// The face the window was designed with; the runtime substitutes an installed, metric-compatible
// one where it is missing. The design's fonts also name character set 178 (Arabic), but every text
// shown is plain ASCII, which every character set draws alike, so the definition leaves it out.
inline constexpr std::string_view kFace = "MS Sans Serif";
inline constexpr Font kTitleFont {kFace, 2400, 700};
inline constexpr Font kFrameFont {kFace, 975, 700};
inline constexpr Font kSmallFont {kFace, 825, 700};

// The label that shows a column's heading or qualifier: its name, width, font and tab index.
struct CaptionLabel {
    std::string_view name; // empty: the column has no such caption
    forms::Twips width = 0;
    Font font;
    std::int16_t tabIndex = forms::kNoTabIndex;
};

// Where each column of the catalogue stands on the window, in kColumns' order: the labels of its
// heading and qualifier, the left edge they and its boxes share, the boxes' width, and the first
// box's tab index (the boxes below follow it).
struct ColumnLayout {
    CaptionLabel heading;
    CaptionLabel qualifier;
    forms::Twips left = 0;
    forms::Twips boxWidth = 0;
    std::int16_t firstBoxTabIndex = forms::kNoTabIndex;
};

// clang-format off
inline constexpr std::array<ColumnLayout, kColumns.size()> kColumnLayout {{
    {{"Label2",  855, kFrameFont, 51}, {},                                120, 1215, 47}, // PA IC
    {{"Label3",  615, kFrameFont, 52}, {},                               1440, 1335, 53}, // RF IC
    {{"Label8", 1215, kSmallFont, 68}, {"Label4", 975, kFrameFont, 55}, 2880, 1335, 56}, // POWER
    {{"Label5", 1335, kSmallFont, 58}, {},                               4320, 1335, 59}, // UPP
    {{"Label6", 1095, kSmallFont, 61}, {},                               5760, 1935, 62}, // FLASH
    {{"Label7", 1215, kSmallFont, 64}, {},                               7800, 1695, 65}, // RAM IC
}};
// clang-format on

namespace detail {

using enum forms::ControlKind;

// The heights of the title's labels across the top and of the captions below the frames.
inline constexpr forms::Twips kTitleHeight = 495;
inline constexpr forms::Twips kCaptionHeight = 255;

constexpr ControlDefinition control(forms::ControlKind kind, std::string_view name,
                                    std::string_view text, forms::Twips left, forms::Twips top,
                                    forms::Twips width, forms::Twips height, Font font,
                                    int tabIndex, std::optional<forms::Rgb> colour = std::nullopt)
{
    return {.kind = kind,
            .name = name,
            .text = text,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .font = font,
            .colour = colour,
            .tabIndex = static_cast<std::int16_t>(tabIndex)};
}

// A family's frame of buttons, captioned in blue with the family's name: the three span the
// window alike.
constexpr ControlDefinition familyFrame(std::string_view name, std::string_view caption,
                                        forms::Twips top, forms::Twips height, int tabIndex)
{
    return control(Frame, name, caption, 120, top, 8655, height, kFrameFont, tabIndex,
                   forms::kBlue);
}

// Controls created before the buttons: the picture lies under the frames it overlaps.
inline constexpr auto kHead = std::to_array<ControlDefinition>({
    {.kind = Picture,
     .name = "Image1",
     .left = 120,
     .top = -120,
     .width = 1515,
     .height = 1380,
     .picture = ":/icatlas/banner.bmp",
     .accessibleName = "Banner",
     .accessibleDescription = "NOKIA GSM ICs in yellow capitals on black"},
    control(Label, "Label10", "NOKIA GSM ICs", 1680, 0, 3855, kTitleHeight, kTitleFont, 70),
    control(Label, "Label11", "BY", 4800, 480, 735, kTitleHeight, kTitleFont, 71, forms::kBlue),
    control(Label, "Label9", "MOSSGROVE", 5520, 720, 3255, kTitleHeight, kTitleFont, 69),
    familyFrame("Frame1", "NOKIA DCT3 PHONE", 1200, 1455, 0),
    familyFrame("Frame2", "NOKIA DCT4 PHONE", 2760, 1455, 18),
    familyFrame("Frame3", "NOKIA WD2 PHONE", 4320, 975, 39),
});

// The model box and its label, before the columns.
inline constexpr auto kModelControls = std::to_array<ControlDefinition>({
    control(Label, "Label1", kModelHeading, 120, 5520, 1215, kCaptionHeight, kSmallFont, 46),
    {.kind = TextBox,
     .name = "Text1",
     .text = "NOKIA",
     .left = 1440,
     .top = 5520,
     .width = 735,
     .height = 285,
     .font = kSmallFont,
     .tabIndex = 45,
     .accessibleName = kModelHeading,
     .accessibleDescription = "The model whose ICs the boxes show; a model button chooses it"},
});

// The caption of the column at `index` (kColumnLayout): its heading, or with `qualifier` its
// qualifier, on the line above the headings'.
constexpr ControlDefinition columnCaption(std::size_t index, bool qualifier)
{
    const ColumnInfo &column = kColumns.at(index);
    const ColumnLayout &layout = kColumnLayout.at(index);
    const CaptionLabel &caption = qualifier ? layout.qualifier : layout.heading;
    return control(Label, caption.name, qualifier ? column.qualifier : column.heading, layout.left,
                   qualifier ? 5760 : 6000, caption.width, kCaptionHeight, caption.font,
                   caption.tabIndex);
}

// The component box of slot `index`, named and titled after the model box: the boxes lie under
// the headings, row under row.
constexpr ControlDefinition componentBox(std::size_t index)
{
    const ComponentSlot &slot = kComponentSlots.at(index);
    const ColumnLayout &column = kColumnLayout.at(slot.column);
    ControlDefinition box = control(TextBox, kBoxNames.at(index + 1), {}, column.left,
                                    6240 + 360 * slot.row, column.boxWidth, 375, kSmallFont,
                                    column.firstBoxTabIndex + slot.row, forms::kRed);
    box.accessibleName = kBoxTitles.at(index + 1);
    return box;
}

// A family's buttons lie in the frame captioned with its name, in two rows of up to ten (one more
// finds no row, and the definition is refused as it is built), and follow it in tab order: upper
// row left to right, then the lower.
inline constexpr std::size_t kButtonsPerRow = 10;
inline constexpr std::array<forms::Twips, 2> kButtonRowTops {360, 840};
constexpr ControlDefinition modelButton(const ModelRecord &record, std::size_t place)
{
    const auto *frame = std::ranges::find_if(kHead, [&record](const ControlDefinition &head) {
        return head.kind == Frame
            && head.text.find(familyName(record.family)) != std::string_view::npos;
    });
    ControlDefinition button
        = control(CommandButton, record.button, record.model,
                  120 + 840 * static_cast<forms::Twips>(place % kButtonsPerRow),
                  kButtonRowTops.at(place / kButtonsPerRow), 735, 375, kFrameFont,
                  frame->tabIndex + 1 + static_cast<int>(place));
    button.container = frame->name;
    return button;
}

// One for each control made below: a caption for each column and each qualifier.
inline constexpr std::size_t kControlCount = kHead.size() + ComponentCatalogue::records().size()
    + kModelControls.size() + kColumns.size() * 2
    - static_cast<std::size_t>(std::ranges::count(kColumns, "", &ColumnInfo::qualifier))
    + kSlotCount;

// The head, the buttons family by family, then the model box, the columns' captions and boxes.
constexpr std::array<ControlDefinition, kControlCount> form1Controls()
{
    std::array<ControlDefinition, kControlCount> controls {};
    auto *next = std::ranges::copy(kHead, controls.begin()).out;
    for (const PlatformFamily family : kFamilies) {
        const auto records = ComponentCatalogue::family(family);
        for (std::size_t place = 0; place < records.size(); ++place) {
            *next++ = modelButton(records[place], place);
        }
    }
    next = std::ranges::copy(kModelControls, next).out;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (!kColumns[i].qualifier.empty()) {
            *next++ = columnCaption(i, true);
        }
    }
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        *next++ = columnCaption(i, false);
    }
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        *next++ = componentBox(i);
    }
    return controls;
}

} // namespace detail

inline constexpr auto kForm1Controls = detail::form1Controls();

// The banner pictures compiled into one resource bundle (ui/resources/banner.qrc.in); the array is
// generated at build time, so its size is not known here.
extern const unsigned char kPictureBundle[]; // NOLINT(modernize-avoid-c-arrays)

inline constexpr forms::FormDefinition kForm1 {
    .name = "Form1",
    .caption = "NOKIA GSM ICs " ICATLAS_VERSION " - part numbers by MOSSGROVE",
    .clientWidth = 9630,
    .clientHeight = 7875,
    .font = kFrameFont,
    .controls = kForm1Controls,
    .resources = kPictureBundle,
};

static_assert(forms::check::uniqueNames(kForm1Controls));
static_assert(forms::check::tabIndexesDense(kForm1Controls), "tab indexes 0-71, each once");
static_assert(forms::check::containedInFrames(kForm1Controls),
              "buttons lie inside their frames, made before them");

// Binds each model button's click to the selection of its own record.
void connectClickHandlers(forms::Form &form);

// The program's icon as installed for desktops: the bundle's pictures of it ("16.png", ...), one
// per size at which window managers show it (ui/CMakeLists.txt puts them there).
inline constexpr auto kIcon = std::to_array<std::string_view>({ICATLAS_ICON_PATHS});

inline constexpr forms::ProjectDescription kProject {
    .name = "icatlas",
    .version = kVersion,
    .desktopFileName = kApplicationId,
    .startupForm = &kForm1,
    .connectEvents = &connectClickHandlers,
    .icon = kIcon,
};

} // namespace icatlas::ui
