// SPDX-License-Identifier: MIT
// The catalogue: every handset model the window offers, with the part numbers of its ICs.
// The table is constant data in read-only memory; nothing here allocates or runs at start-up.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <numeric>
#include <span>
#include <string_view>

namespace icatlas {

// The hardware platform generation; each has its own frame of buttons on the window.
enum class PlatformFamily : std::uint8_t { DCT3, DCT4, WD2 };

inline constexpr auto kFamilies
    = std::to_array({PlatformFamily::DCT3, PlatformFamily::DCT4, PlatformFamily::WD2});

inline constexpr std::array<std::string_view, kFamilies.size()> kFamilyNames {"DCT3", "DCT4",
                                                                              "WD2"};

[[nodiscard]] constexpr std::string_view familyName(PlatformFamily family)
{
    return kFamilyNames.at(static_cast<std::size_t>(family));
}

// One column of component boxes: its heading, a qualifier captioned above it ("UEM" over
// "POWER IC") and said with each box's name, and its boxes, top to bottom.
struct ColumnInfo {
    std::string_view heading;
    std::string_view qualifier; // empty: none
    std::uint8_t rows = 0;
};

// The six columns in window order, left to right. The window, icatlas-find and the exports all
// take the columns' headings and rows from here.
inline constexpr auto kColumns = std::to_array<ColumnInfo>({
    {"PA IC", "", 4},
    {"RF IC", "", 2},
    {"POWER IC", "UEM", 2},
    {"UPP", "", 2},
    {"FLASH IC", "", 2},
    {"RAM IC", "", 3},
});

inline constexpr std::size_t kSlotCount = std::accumulate(
    kColumns.begin(), kColumns.end(), std::size_t {0},
    [](std::size_t count, const ColumnInfo &column) { return count + column.rows; });
inline constexpr std::size_t kBoxCount = kSlotCount + 1;

// The sixteen boxes a selection writes, in the order it writes them: the model box first, then
// the component boxes column by column, top to bottom.
inline constexpr std::array<std::string_view, kBoxCount> kBoxNames {
    "Text1", "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text7",  "Text8",
    "Text9", "Text10", "Text11", "Text12", "Text13", "Text14", "Text15", "Text16"};

// What the model box is called: the caption beside it, and its name wherever a box is named.
inline constexpr std::string_view kModelHeading = "Phone Model";

// What each box is called, in kBoxNames' order, to a screen reader and in icatlas-find: a
// component box by its column's heading, the qualifier in brackets, its row from 1.
inline constexpr std::array<std::string_view, kBoxCount> kBoxTitles {
    kModelHeading, "PA IC 1",          "PA IC 2",          "PA IC 3", "PA IC 4", "RF IC 1",
    "RF IC 2",     "POWER IC (UEM) 1", "POWER IC (UEM) 2", "UPP 1",   "UPP 2",   "FLASH IC 1",
    "FLASH IC 2",  "RAM IC 1",         "RAM IC 2",         "RAM IC 3"};

// One component box: the box it fills, its column (in kColumns) and its row there (from 0).
struct ComponentSlot {
    std::string_view box;
    std::size_t column;
    std::uint8_t row;
};

inline constexpr std::array<ComponentSlot, kSlotCount> kComponentSlots = [] {
    std::array<ComponentSlot, kSlotCount> slots {};
    std::size_t next = 0;
    for (std::size_t column = 0; column < kColumns.size(); ++column) {
        for (std::uint8_t row = 0; row < kColumns.at(column).rows; ++row, ++next) {
            slots.at(next) = {kBoxNames.at(next + 1), column, row};
        }
    }
    return slots;
}();

// One handset model: its family, the button that selects it, its model text and its fifteen
// slot texts (empty: a blank slot), shown exactly as stored, trailing blanks included.
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
// Reading the part numbers. Every text is stored and shown exactly as it was recorded, marks
// included; this is what the marks say.
// - "@UPP", "@FLASH_IC": in a RAM IC box, no separate RAM chip is named; the box points to the
//   chip in the model's UPP or FLASH IC column.
// - "?" before or after a number ("?N643HT7MI", "PF08133B?", "? M58MR016C"): the part is not
//   identified for certain; check the marking on the chip.
// - "???(4Mx16)": the part number is unknown; only the memory's organisation is given.
// - "&?(4Mx16)": one more chip beside the one in the box before it, its number unknown, only its
//   organisation given.
// - "2x ", "3x ", "4x " before a number: that many of that chip on the board.
// - Brackets after a number: the maker ("(Intel)", "(SHARP)"), the size ("(4Mbit)") or the
//   organisation ("(4Mx16)", "(4M x16)": 4M words of 16 bits); a size may stand alone ("4Mbit").
// - A blank at the end ("CCONT "): as recorded; the window and the exports keep it.
//
// The manual pages and the README take the note above from here (catalogue/PartNumberNote.cmake):
// the lines before the first "// - " lead in; each entry opens with "// - ", names its marks
// before the first ": " and goes on in lines opening with "//   "; an empty "//" ends the note.
// clang-format off
inline constexpr auto kModelRecords = std::to_array<ModelRecord>({
    {PlatformFamily::DCT3, "Command1", "2100", {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "F1602C3T70", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3, "Command2", "3210", {"PF01420B ", "PF04110B", "BGY252", "BGY262", "CRFU3 ", "SUMMA", "CCONT ", "TEA1210TS", "", "", "F160B3TA", "M28W160BT", "HY62U8100B", "KM68U1000ELTGI", "KM68FS1000TGI"}},
    {PlatformFamily::DCT3, "Command3", "3310", {"PF08109B", "BGY270", "RF3103", "", "HAGAR", "", "CCONT", "", "", "", "F160B3TA", "M28W160BT", "K6F1016U4A (1Mbit)", "K6F1016U4B", "K6F1016U4C"}},
    {PlatformFamily::DCT3, "Command4", "3330", {"PF08109B", "BGY270", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC", "", "K6F2016U4D (2Mbit)", "", ""}},
    {PlatformFamily::DCT3, "Command5", "3410", {"PF08109B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC", "M28W320ECT", "4Mbit", "", ""}},
    {PlatformFamily::DCT3, "Command6", "5110", {"BGY251", "BGY240", "4370319", "", "CRFU1", "PLUSSA", "NMP4370047", "", "", "", "TE28F800B3TA", "", "KM68U512ALTGE (512kbit)", "", ""}},
    {PlatformFamily::DCT3, "Command7", "5210", {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F3204C3T100", "F3204C3T70", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3, "Command8", "5510", {"PF08109B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TC ", "K9K1208UOA", "K6F2016U4A (2Mbit)", "", ""}},
    {PlatformFamily::DCT3, "Command9", "6110", {"4370319", "", "", "", "CRFU1 ", "PLUSSA", "NMP4370047", "", "", "", "TE28F800", "", "KM68U512ALTGE", "", ""}},
    {PlatformFamily::DCT3, "Command10", "6150", {"4370451", "4370453", "4370577", "4370453", "CRFU3E(4370407)", "SUMMA", "NMP4370391", "", "", "", "TE28F160B3TA(Intel)", "LH28F160BGHE(SHARP)", "KM68FS1000TGI", "", ""}},
    {PlatformFamily::DCT3, "Command11", "6210", {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F320B3TA", "F320B3TC", "KM68U4100CLZI (4Mbit)", "K6T4008U2C", ""}},
    {PlatformFamily::DCT3, "Command12", "7110", {"PF01411B", "PF0414B", "", "", "CRFU3 ", "SUMMA", "CCONT", "", "", "", "2x F160B3TA", "", "KM68U4000CLTI", "", ""}},
    {PlatformFamily::DCT3, "Command13", "8210", {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "F1602C3T110", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3, "Command14", "8250", {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "F1602C3T110", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3, "Command15", "8810", {"PF01411B", "", "", "", "CRFU1 ", "SUMMA", "CCONT", "", "", "", "F160B3T120", "", "KM616FS2000ZI", "", ""}},
    {PlatformFamily::DCT3, "Command16", "8850", {"PF08103B", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT3, "Command17", "8890", {"?4350247(RF9205)", "", "", "", "HAGAR", "", "CCONT", "", "", "", "LRS1341", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4, "Command18", "1100", {"RF3162", "RF3132", "PF08133B?", "", "MJOELNER999", "", "4370825", "", "4377005", "", "? M58MR016C", "", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command19", "2300", {"RF3162", "RF3132", "PF08133B?", "", "MJOELNER999", "", "4370825", "", "4377005", "", "? M58MR016C", "", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command20", "3100", {"QCPM-8893", "PF08125B", "", "", "MJOELNER", "", "4376001", "", "4370931", "", "K5U64418TM", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4, "Command21", "3200", {"09003BN", "", "", "", "HELGO", "", "4370959", "", "4375019", "", "K5U64418TM", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4, "Command22", "3220", {"4355641", "9250E4.1", "", "", "4371005", "", "4376371", "", "4371105", "", "K5U28178TM", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4, "Command23", "3510", {"PF08109B", "RF3103", "", "", "MJOELNER", "", "4370805", "4370825", "4370815", "", "??\?(4Mx16)", "", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command24", "3510I", {"RF3103", "08125BN", "", "", "MJOELNER", "", "4370825", "", "4370873", "4370931", "F640W18T", "K8S64158TM", "K6F4008R2E", "EM640FP8", ""}},
    {PlatformFamily::DCT4, "Command26", "5100", {"4350383", "", "", "", "HELGA", "", "4370825", "", "4370873", "", "K8S64158TM", "", "K6F4008R2E", "", ""}},
    {PlatformFamily::DCT4, "Command27", "6100", {"QCPM-8893", "4350383", "", "", "MJOELNER", "", "4376001", "4370825", "4370873", "", "K5U64418TM", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4, "Command28", "6220", {"09003BN", "", "", "", "HELGO", "", "4370959", "", "4375017", "", "K5U28818TM", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4, "Command29", "6230", {"4359017", "", "", "", "HELGO", "", "4370945", "4376371", "4375107", "", "K8S2815ETA(8Mx16)", "&?(4Mx16)", "K4M64163PG(4Mx16)", "", ""}},
    {PlatformFamily::DCT4, "Command30", "6310", {"4350297", "PF08125B", "", "", "HAGAR", "", "4370805", "", "4370815", "", "F640W18T", "?N643HT7MI", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command31", "6310I", {"PF08125B", "", "", "", "MJOELNER", "", "4370805", "", "4370815", "", "N643HT7MI", "", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command32", "6510", {"4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "", "F640W18T", "N643HT7MI", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command33", "6610", {"4350383", "", "", "", "HELGA", "", "4370825", "4370841", "4370873", "", "F128W18T", "K8S64158TM", "K6F4008R2E", "", ""}},
    {PlatformFamily::DCT4, "Command34", "7210", {"4350383", "", "", "", "HELGA", "", "4370825", "4370841", "4370873", "", "F128W18T", "K8S64158TM", "K6F4008R2E", "", ""}},
    {PlatformFamily::DCT4, "Command35", "7250", {"4350383", "", "", "", "HELGA", "", "4370825", "", "4370873", "4370931", "K5U28818TM", "??K8S64418TM", "@FLASH_IC", "", ""}},
    {PlatformFamily::DCT4, "Command36", "8310", {"4350297", "435H093", "", "", "HAGAR", "", "4370805", "4370825", "4370815", "", "F640W18T", "?N643HT7MI", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command37", "8910", {"4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "", "F640W18T", "?N643HT7MI", "@UPP", "", ""}},
    {PlatformFamily::DCT4, "Command38", "8910I", {"4350297", "", "", "", "HAGAR", "", "4370805", "", "4370815", "", "COMBO 4M+256kx16", "", "@FLASH_IC", "", ""}},
    {PlatformFamily::WD2, "Command25", "3600", {"RF3132", "", "", "", "MJOELNER", "", "4370825", "", "4370943", "", "3x N643HT7MI", "", "K4S64163JF (4M x16)", "", ""}},
    {PlatformFamily::WD2, "Command39", "3650", {"PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370871", "", "3x N643GT7MI", "", "K4S64163JF (4M x16)", "", ""}},
    {PlatformFamily::WD2, "Command40", "3660", {"PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370871", "", "3x N643GT7MI", "", "K4S64163JF (4M x16)", "", ""}},
    {PlatformFamily::WD2, "Command41", "6600", {"PF08125B", "", "", "", "MJOELNER", "", "4370825", "", "4370943", "", "4x N643HT7MI", "4x M58NR064ET (4Mx16)", "K4M28163PD (8M x16)", "", ""}},
    {PlatformFamily::WD2, "Command42", "7650", {"4350297 ", "(RF9203)", "", "", "HAGAR", "", "4370825", "", "4370871", "", "AM29N323D (2M x16)", "F128W18T (8M x16)", "K4S64163JF (4M x16)", "", ""}},
});
// clang-format on

class ComponentCatalogue {
public:
    [[nodiscard]] static constexpr std::span<const ModelRecord> records() { return kModelRecords; }

    // The record selected by a button, or nothing when the name is no model button.
    [[nodiscard]] static constexpr const ModelRecord *findByButton(std::string_view button)
    {
        const auto *found = std::ranges::find(kModelRecords, button, &ModelRecord::button);
        return found != kModelRecords.end() ? found : nullptr;
    }

    // The record whose model text is exactly `model`, or nothing.
    [[nodiscard]] static constexpr const ModelRecord *findByModel(std::string_view model)
    {
        const auto *found = std::ranges::find(kModelRecords, model, &ModelRecord::model);
        return found != kModelRecords.end() ? found : nullptr;
    }

    // A family's records in window order (the table keeps the families in their order).
    [[nodiscard]] static constexpr std::span<const ModelRecord> family(PlatformFamily family)
    {
        return {std::ranges::lower_bound(kModelRecords, family, {}, &ModelRecord::family),
                std::ranges::upper_bound(kModelRecords, family, {}, &ModelRecord::family)};
    }
};

namespace detail {

// Whether `name` is `parts` one after another, then `number` written without leading zeros
// ("Text12", "POWER IC (UEM) 1").
constexpr bool isNumbered(std::string_view name, std::initializer_list<std::string_view> parts,
                          std::size_t number)
{
    for (; number > 0; number /= 10) {
        if (!name.ends_with(static_cast<char>('0' + number % 10))) {
            return false;
        }
        name.remove_suffix(1);
    }
    for (const std::string_view part : parts) {
        if (!name.starts_with(part)) {
            return false;
        }
        name.remove_prefix(part.size());
    }
    return name.empty();
}

// Each box is "Text" and its number; the model box is titled by its heading, each after it by
// its slot: the column's heading, " (qualifier)" where it has one, " " and the row from 1.
constexpr bool boxesFollowTheColumns()
{
    for (std::size_t i = 1; i < kBoxCount; ++i) {
        const ComponentSlot &slot = kComponentSlots.at(i - 1);
        const ColumnInfo &column = kColumns.at(slot.column);
        const std::string_view title = kBoxTitles.at(i);
        const bool titled = column.qualifier.empty()
            ? isNumbered(title, {column.heading, " "}, slot.row + 1U)
            : isNumbered(title, {column.heading, " (", column.qualifier, ") "}, slot.row + 1U);
        if (!titled || !isNumbered(kBoxNames.at(i), {"Text"}, i + 1)) {
            return false;
        }
    }
    return isNumbered(kBoxNames[0], {"Text"}, 1) && kBoxTitles[0] == kModelHeading;
}

constexpr bool isDisplayText(std::string_view text)
{
    return text.size() <= 23
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

constexpr bool isModelText(std::string_view model)
{
    return (model.size() == 4 || (model.size() == 5 && model[4] == 'I'))
        && model.substr(0, 4).find_first_not_of("0123456789") == std::string_view::npos;
}

constexpr bool everyButtonOnce()
{
    for (std::size_t number = 1; number <= kModelRecords.size(); ++number) {
        const auto selects = [number](const ModelRecord &record) {
            return isNumbered(record.button, {"Command"}, number);
        };
        if (std::ranges::count_if(kModelRecords, selects) != 1) {
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

static_assert(std::ranges::is_sorted(kModelRecords, {}, &ModelRecord::family),
              "records must stay grouped family by family");
static_assert(detail::boxesFollowTheColumns(),
              "kBoxNames runs Text1 to Text16, each titled by its column's heading and row");
static_assert(detail::everyButtonOnce(), "Command1..Command42 must each select one record");
static_assert(detail::textsDisplayable(), "texts are at most 23 printable ASCII characters");

} // namespace icatlas
