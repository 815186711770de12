// SPDX-License-Identifier: MIT
// The catalogue: every handset model the window offers, with the part numbers of its ICs.
// The table is constant data in read-only memory; nothing here allocates or runs at start-up.
#pragma once

#include "forms/core/definition.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace icatlas {

// The hardware platform generation; each has its own frame of buttons on the window.
enum class PlatformFamily : std::uint8_t { DCT3, DCT4, WD2 };

inline constexpr std::array<PlatformFamily, 3> kFamilies {
    PlatformFamily::DCT3, PlatformFamily::DCT4, PlatformFamily::WD2};

// What names a family on the window: its own name, the frame that holds its buttons, and that
// frame's caption.
struct FamilyInfo {
    std::string_view name;
    std::string_view frame;
    std::string_view caption;
};

inline constexpr std::array<FamilyInfo, 3> kFamilyInfo {{
    {"DCT3", "Frame1", "NOKIA DCT3 PHONE"},
    {"DCT4", "Frame2", "NOKIA DCT4 PHONE"},
    {"WD2", "Frame3", "NOKIA WD2 PHONE"},
}};

[[nodiscard]] constexpr const FamilyInfo &familyInfo(PlatformFamily family)
{
    return kFamilyInfo.at(static_cast<std::size_t>(family));
}

[[nodiscard]] constexpr std::string_view familyName(PlatformFamily family)
{
    return familyInfo(family).name;
}

[[nodiscard]] constexpr std::string_view familyFrame(PlatformFamily family)
{
    return familyInfo(family).frame;
}

[[nodiscard]] constexpr std::string_view familyCaption(PlatformFamily family)
{
    return familyInfo(family).caption;
}

[[nodiscard]] constexpr std::optional<PlatformFamily> familyByName(std::string_view name)
{
    for (const PlatformFamily family : kFamilies) {
        if (familyName(family) == name) {
            return family;
        }
    }
    return std::nullopt;
}

// The six columns of component boxes, left to right, each under its heading on the window.
enum class ComponentColumn : std::uint8_t { PaIc, RfIc, PowerIc, Upp, FlashIc, RamIc };

// How large a column's caption is drawn: the size of the frames' captions, or the smaller one.
enum class CaptionSize : std::uint8_t { Frame, Small };

// A caption over a column: its text, the label that shows it, the label's width in twips and its
// place in tab order.
struct ColumnCaption {
    std::string_view text;
    std::string_view label;
    forms::Twips width = 0;
    CaptionSize size = CaptionSize::Small;
    std::int16_t tabIndex = forms::kNoTabIndex;
};

// One column of component boxes. The heading names the column on the window, to a screen reader
// and in icatlas-find; the qualifier is a second caption above the heading ("UEM" over
// "POWER IC"), said with the name of each of the column's boxes. Heading and boxes start at
// `left`; the boxes' tab indexes follow each other from the first row's.
struct ColumnInfo {
    ComponentColumn column;
    ColumnCaption heading;
    ColumnCaption qualifier; // no text: none
    forms::Twips left = 0;
    forms::Twips boxWidth = 0;
    std::uint8_t rows = 0;
    std::int16_t firstBoxTabIndex = forms::kNoTabIndex;
};

// The columns in window order. The window, icatlas-find and the exports all take the columns'
// headings, boxes and rows from here. Kept aligned as a table, each column's entry reading:
//   column, heading {text, label, width, size, tab index}, qualifier (likewise),
//   left, box width, rows, first box's tab index
// clang-format off
inline constexpr std::array<ColumnInfo, 6> kColumns {{
    {ComponentColumn::PaIc,    {"PA IC",    "Label2",  855, CaptionSize::Frame, 51}, {},
     120,  1215, 4, 47},
    {ComponentColumn::RfIc,    {"RF IC",    "Label3",  615, CaptionSize::Frame, 52}, {},
     1440, 1335, 2, 53},
    {ComponentColumn::PowerIc, {"POWER IC", "Label8", 1215, CaptionSize::Small, 68},
                               {"UEM",      "Label4",  975, CaptionSize::Frame, 55},
     2880, 1335, 2, 56},
    {ComponentColumn::Upp,     {"UPP",      "Label5", 1335, CaptionSize::Small, 58}, {},
     4320, 1335, 2, 59},
    {ComponentColumn::FlashIc, {"FLASH IC", "Label6", 1095, CaptionSize::Small, 61}, {},
     5760, 1935, 2, 62},
    {ComponentColumn::RamIc,   {"RAM IC",   "Label7", 1215, CaptionSize::Small, 64}, {},
     7800, 1695, 3, 65},
}};
// clang-format on

static_assert(std::all_of(kColumns.begin(), kColumns.end(),
                          [](const ColumnInfo &c) {
                              return &c - kColumns.begin() == static_cast<int>(c.column);
                          }),
              "kColumns holds the columns in their enum's order");

[[nodiscard]] constexpr const ColumnInfo &columnInfo(ComponentColumn column)
{
    return kColumns.at(static_cast<std::size_t>(column));
}

[[nodiscard]] constexpr std::string_view columnHeading(ComponentColumn column)
{
    return columnInfo(column).heading.text;
}

// One component box: the box it fills, its column and its row within that column (from 0).
struct ComponentSlot {
    std::string_view box;
    ComponentColumn column;
    std::uint8_t row;
};

inline constexpr std::size_t kSlotCount = [] {
    std::size_t count = 0;
    for (const ColumnInfo &column : kColumns) {
        count += column.rows;
    }
    return count;
}();
inline constexpr std::size_t kBoxCount = kSlotCount + 1;

// The model box comes first; the component boxes follow column by column, top to bottom, their
// names numbered on from it (Text2 to Text16).
inline constexpr std::string_view kModelBox = "Text1";

namespace detail {

inline constexpr std::array<forms::FixedText<8>, kSlotCount> kSlotBoxNames = [] {
    std::array<forms::FixedText<8>, kSlotCount> names {};
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        names.at(i).append("Text").append(i + 2);
    }
    return names;
}();

} // namespace detail

inline constexpr std::array<ComponentSlot, kSlotCount> kComponentSlots = [] {
    std::array<ComponentSlot, kSlotCount> slots {};
    std::size_t next = 0;
    for (const ColumnInfo &column : kColumns) {
        for (std::uint8_t row = 0; row < column.rows; ++row, ++next) {
            slots.at(next) = {detail::kSlotBoxNames.at(next).view(), column.column, row};
        }
    }
    return slots;
}();

// The sixteen boxes a selection writes, in the order it writes them.
inline constexpr std::array<std::string_view, kBoxCount> kBoxNames = [] {
    std::array<std::string_view, kBoxCount> names {};
    names[0] = kModelBox;
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        names[i + 1] = kComponentSlots[i].box;
    }
    return names;
}();

// One handset model: its family, the button that selects it, its model text and its fifteen
// slot texts (an empty text is a blank slot). Texts are shown exactly as stored, trailing blanks
// included.
struct ModelRecord {
    PlatformFamily family;
    std::string_view button;
    std::string_view model;
    std::array<std::string_view, kSlotCount> slots;

    // The texts of Text1 to Text16: the model, then the slots.
    [[nodiscard]] constexpr std::array<std::string_view, kBoxCount> boxTexts() const
    {
        std::array<std::string_view, kBoxCount> texts {};
        texts[0] = model;
        std::copy(slots.begin(), slots.end(), texts.begin() + 1);
        return texts;
    }
};

// Window order: family by family; within a family the upper row of buttons left to right, then
// the lower row.
//
// How to read the part numbers, as a technician at the bench would:
// - "@UPP" or "@FLASH_IC" in the RAM column: the board has no RAM chip of its own; the RAM is
//   inside that chip (the UPP processor, or a combined flash-and-RAM package such as LRS1341).
// - "?" before or after a number ("?N643HT7MI", "PF08133B?", "??K8S64418TM"): the marking was
//   not read with certainty; check the chip itself.
// - "??\?(4Mx16)" (three question marks; the backslash keeps them from reading as a trigraph):
//   the part number is unknown, only the memory's organisation is known (4M words of 16 bits).
//   "&?(4Mx16)" beside another flash chip: one more chip, number unknown, of that organisation.
// - A count such as "3x " or "4x " before a number: that many chips of the kind on the board.
// - Brackets hold what helps identify the part: the size ("(2Mbit)"), the organisation
//   ("(8M x16)"), the maker ("(Intel)") or the maker's own number beside NOKIA's
//   ("CRFU3E(4370407)"; "(RF9203)" alone when only that is known). A bare "4Mbit" gives the size
//   alone. "COMBO 4M+256kx16" is one package of flash and RAM.
// - Seven-digit numbers starting 43 (4370825) are NOKIA's own codes for custom chips.
// - Trailing blanks are as recorded, and shown as such.
inline constexpr std::array<ModelRecord, 42> kModelRecords {{
    {PlatformFamily::DCT3,
     "Command1",
     "2100",
     {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "F1602C3T70",
      "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3,
     "Command2",
     "3210",
     {"PF01420B ", "PF04110B", "BGY252", "BGY262", "CRFU3 ", "SUMMA", "CCONT ", "TEA1210TS", "", "",
      "F160B3TA", "M28W160BT", "HY62U8100B", "KM68U1000ELTGI", "KM68FS1000TGI"}},
    {PlatformFamily::DCT3,
     "Command3",
     "3310",
     {"PF08109B", "BGY270", "RF3103", "", "HAGAR", "", "CCONT", "", "", "", "F160B3TA", "M28W160BT",
      "K6F1016U4A (1Mbit)", "K6F1016U4B", "K6F1016U4C"}},
    {PlatformFamily::DCT3,
     "Command4",
     "3330",
     {"PF08109B", "BGY270", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC", "",
      "K6F2016U4D (2Mbit)", "", ""}},
    {PlatformFamily::DCT3,
     "Command5",
     "3410",
     {"PF08109B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC", "M28W320ECT", "4Mbit",
      "", ""}},
    {PlatformFamily::DCT3,
     "Command6",
     "5110",
     {"BGY251", "BGY240", "4370319", "", "CRFU1", "PLUSSA", "NMP4370047", "", "", "",
      "TE28F800B3TA", "", "KM68U512ALTGE (512kbit)", "", ""}},
    {PlatformFamily::DCT3,
     "Command7",
     "5210",
     {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F3204C3T100", "F3204C3T70",
      "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3,
     "Command8",
     "5510",
     {"PF08109B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC ", "K9K1208UOA",
      "K6F2016U4A (2Mbit)", "", ""}},
    {PlatformFamily::DCT3,
     "Command9",
     "6110",
     {"4370319", "", "", "", "CRFU1 ", "PLUSSA", "NMP4370047", "", "", "", "TE28F800", "",
      "KM68U512ALTGE", "", ""}},
    {PlatformFamily::DCT3,
     "Command10",
     "6150",
     {"4370451", "4370453", "4370577", "4370453", "CRFU3E(4370407)", "SUMMA", "NMP4370391", "", "",
      "", "TE28F160B3TA(Intel)", "LH28F160BGHE(SHARP)", "KM68FS1000TGI", "", ""}},
    {PlatformFamily::DCT3,
     "Command11",
     "6210",
     {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TA", "F320B3TC",
      "KM68U4100CLZI (4Mbit)", "K6T4008U2C", ""}},
    {PlatformFamily::DCT3,
     "Command12",
     "7110",
     {"PF01411B", "PF0414B", "", "", "CRFU3 ", "SUMMA", "CCONT", "", "", "", "2x F160B3TA", "",
      "KM68U4000CLTI", "", ""}},
    {PlatformFamily::DCT3,
     "Command13",
     "8210",
     {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "F1602C3T110",
      "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3,
     "Command14",
     "8250",
     {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F1602C3T110", "", "@FLASH_IC", "",
      ""}},
    {PlatformFamily::DCT3,
     "Command15",
     "8810",
     {"PF01411B", "", "", "", "CRFU1 ", "SUMMA", "CCONT", "", "", "", "F160B3T120", "",
      "KM616FS2000ZI", "", ""}},
    {PlatformFamily::DCT3,
     "Command16",
     "8850",
     {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "", "@FLASH_IC", "",
      ""}},
    {PlatformFamily::DCT3,
     "Command17",
     "8890",
     {"?4350247(RF9205)", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "", "@FLASH_IC",
      "", ""}},
    {PlatformFamily::DCT4,
     "Command18",
     "1100",
     {"RF3162", "RF3132", "PF08133B?", "", "MJOELNER999", "", "4370825", "", "4377005", "",
      "? M58MR016C", "", "@UPP", "", ""}},
    {PlatformFamily::DCT4,
     "Command19",
     "2300",
     {"RF3162", "RF3132", "PF08133B?", "", "MJOELNER999", "", "4370825", "", "4377005", "",
      "? M58MR016C", "", "@UPP", "", ""}},
    {PlatformFamily::DCT4,
     "Command20",
     "3100",
     {"QCPM-8893", "PF08125B", "", "", "MJOELNER", "", "4376001", "", "4370931", "", "K5U64418TM",
      "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4,
     "Command21",
     "3200",
     {"09003BN", "", "", "", "HELGO", "", "4370959", "", "4375019", "", "K5U64418TM", "",
      "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4,
     "Command22",
     "3220",
     {"4355641", "9250E4.1", "", "", "4371005", "", "4376371", "", "4371105", "", "K5U28178TM", "",
      "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4,
     "Command23",
     "3510",
     {"PF08109B", "RF3103", "", "", "MJOELNER", "", "4370805", "4370825", "4370815", "",
      "??\?(4Mx16)", "", "@UPP", "", ""}},
    {PlatformFamily::DCT4,
     "Command24",
     "3510I",
     {"RF3103", "08125BN", "", "", "MJOELNER", "", "4370825", "", "4370873", "4370931", "F640W18T",
      "K8S64158TM", "K6F4008R2E", "EM640FP8", ""}},
    {PlatformFamily::DCT4,
     "Command26",
     "5100",
     {"4350383", "", "", "", "HELGA", "", "4370825", "", "4370873", "", "K8S64158TM", "",
      "K6F4008R2E", "", ""}},
    {PlatformFamily::DCT4,
     "Command27",
     "6100",
     {"QCPM-8893", "4350383", "", "", "MJOELNER", "", "4376001", "4370825", "4370873", "",
      "K5U64418TM", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4,
     "Command28",
     "6220",
     {"09003BN", "", "", "", "HELGO", "", "4370959", "", "4375017", "", "K5U28818TM", "",
      "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4,
     "Command29",
     "6230",
     {"4359017", "", "", "", "HELGO", "", "4370945", "4376371", "4375107", "", "K8S2815ETA(8Mx16)",
      "&?(4Mx16)", "K4M64163PG(4Mx16)", "", ""}},
    {PlatformFamily::DCT4,
     "Command30",
     "6310",
     {"4350297", "PF08125B", "", "", "HAGAR", "", "4370805", "", "4370815", "", "F640W18T",
      "?N643HT7MI", "@UPP", "", ""}},
    {PlatformFamily::DCT4,
     "Command31",
     "6310I",
     {"PF08125B", "", "", "", "MJOELNER", "", "4370805", "", "4370815", "", "N643HT7MI", "", "@UPP",
      "", ""}},
    {PlatformFamily::DCT4,
     "Command32",
     "6510",
     {"4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "", "F640W18T", "N643HT7MI",
      "@UPP", "", ""}},
    {PlatformFamily::DCT4,
     "Command33",
     "6610",
     {"4350383", "", "", "", "HELGA", "", "4370825", "4370841", "4370873", "", "F128W18T",
      "K8S64158TM", "K6F4008R2E", "", ""}},
    {PlatformFamily::DCT4,
     "Command34",
     "7210",
     {"4350383", "", "", "", "HELGA", "", "4370825", "4370841", "4370873", "", "F128W18T",
      "K8S64158TM", "K6F4008R2E", "", ""}},
    {PlatformFamily::DCT4,
     "Command35",
     "7250",
     {"4350383", "", "", "", "HELGA", "", "4370825", "", "4370873", "4370931", "K5U28818TM",
      "??K8S64418TM", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4,
     "Command36",
     "8310",
     {"4350297", "435H093", "", "", "HAGAR", "", "4370805", "4370825", "4370815", "", "F640W18T",
      "?N643HT7MI", "@UPP", "", ""}},
    {PlatformFamily::DCT4,
     "Command37",
     "8910",
     {"4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "", "F640W18T", "?N643HT7MI",
      "@UPP", "", ""}},
    {PlatformFamily::DCT4,
     "Command38",
     "8910I",
     {"4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "", "COMBO 4M+256kx16", "",
      "@FLASH_IC", "", ""}},
    {PlatformFamily::WD2,
     "Command25",
     "3600",
     {"RF3132", "", "", "", "MJOELNER", "", "4370825", "", "4370943", "", "3x N643HT7MI", "",
      "K4S64163JF (4M x16)", "", ""}},
    {PlatformFamily::WD2,
     "Command39",
     "3650",
     {"PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370871", "", "3x N643GT7MI", "",
      "K4S64163JF (4M x16)", "", ""}},
    {PlatformFamily::WD2,
     "Command40",
     "3660",
     {"PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370871", "", "3x N643GT7MI", "",
      "K4S64163JF (4M x16)", "", ""}},
    {PlatformFamily::WD2,
     "Command41",
     "6600",
     {"PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370943", "", "4x N643HT7MI",
      "4x M58NR064ET (4Mx16)", "K4M28163PD (8M x16)", "", ""}},
    {PlatformFamily::WD2,
     "Command42",
     "7650",
     {"4350297 ", "(RF9203)", "", "", "HAGAR", "", "4370825", "", "4370871", "",
      "AM29N323D (2M x16)", "F128W18T (8M x16)", "K4S64163JF (4M x16)", "", ""}},
}};

class ComponentCatalogue {
public:
    [[nodiscard]] static constexpr std::span<const ModelRecord> records() { return kModelRecords; }

    // The record selected by a button, or nothing when the name is no model button.
    [[nodiscard]] static constexpr const ModelRecord *findByButton(std::string_view button)
    {
        for (const ModelRecord &record : kModelRecords) {
            if (record.button == button) {
                return &record;
            }
        }
        return nullptr;
    }

    // The record whose model text is exactly `model`, or nothing.
    [[nodiscard]] static constexpr const ModelRecord *findByModel(std::string_view model)
    {
        for (const ModelRecord &record : kModelRecords) {
            if (record.model == model) {
                return &record;
            }
        }
        return nullptr;
    }

    // A family's records in window order (the table keeps each family together).
    [[nodiscard]] static constexpr std::span<const ModelRecord> family(PlatformFamily family)
    {
        const auto *first
            = std::find_if(kModelRecords.begin(), kModelRecords.end(),
                           [family](const ModelRecord &r) { return r.family == family; });
        const auto *last = std::find_if(first, kModelRecords.end(), [family](const ModelRecord &r) {
            return r.family != family;
        });
        return {first, last};
    }
};

namespace detail {

constexpr bool isDisplayText(std::string_view text)
{
    return text.size() <= 23
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

constexpr bool isModelText(std::string_view model)
{
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return (model.size() == 4 && digits(model))
        || (model.size() == 5 && digits(model.substr(0, 4)) && model[4] == 'I');
}

constexpr bool everyButtonOnce()
{
    std::array<bool, kModelRecords.size()> seen {};
    for (const ModelRecord &record : kModelRecords) {
        constexpr std::string_view prefix = "Command";
        if (!record.button.starts_with(prefix)) {
            return false;
        }
        std::size_t number = 0;
        for (const char c : record.button.substr(prefix.size())) {
            if (c < '0' || c > '9') {
                return false;
            }
            number = number * 10 + static_cast<std::size_t>(c - '0');
        }
        if (number < 1 || number > seen.size() || seen[number - 1]) {
            return false;
        }
        seen[number - 1] = true;
    }
    return true;
}

constexpr bool familiesContiguous()
{
    for (std::size_t i = 1; i < kModelRecords.size(); ++i) {
        if (kModelRecords[i].family < kModelRecords[i - 1].family) {
            return false;
        }
    }
    return true;
}

constexpr bool textsDisplayable()
{
    return std::all_of(kModelRecords.begin(), kModelRecords.end(), [](const ModelRecord &r) {
        return isModelText(r.model) && std::all_of(r.slots.begin(), r.slots.end(), isDisplayText);
    });
}

} // namespace detail

static_assert(kModelRecords.size() == 42);
static_assert(ComponentCatalogue::family(PlatformFamily::DCT3).size() == 17);
static_assert(ComponentCatalogue::family(PlatformFamily::DCT4).size() == 20);
static_assert(ComponentCatalogue::family(PlatformFamily::WD2).size() == 5);
static_assert(detail::familiesContiguous(), "records must stay grouped family by family");
static_assert(detail::everyButtonOnce(), "Command1..Command42 must each select one record");
static_assert(detail::textsDisplayable(), "texts are at most 23 printable ASCII characters");

} // namespace icatlas
