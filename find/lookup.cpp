// SPDX-License-Identifier: MIT
// Matching of part numbers against the catalogue, and the text, JSON and CSV forms of records.
#include "find/lookup.hpp"

#include <algorithm>
#include <utility>

namespace icatlas::find {

namespace {

// Every ASCII white space, so that a part number from a file with CRLF line ends or tabs between
// its fields matches as typed.
constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Characters the catalogue uses loosely: '?' marks an unsure reading, '-' is written or left out
// as the maker's marking happens to show it.
constexpr bool isIgnored(char c)
{
    return isBlank(c) || c == '?' || c == '-';
}

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Where the part proper starts: past leading blanks, '?' and '-', and past a count (digits and an
// 'x') that a blank or the end follows. Without that blank it would be part of the part number.
std::size_t partStart(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isIgnored(text[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < text.size() && isDigit(text[end])) {
        ++end;
    }
    const bool hasCount = end > start && end < text.size() && upper(text[end]) == 'X'
        && (end + 1 == text.size() || isBlank(text[end + 1]));
    return hasCount ? end + 1 : 0;
}

std::string reduced(std::string_view text)
{
    std::string key;
    key.reserve(text.size());
    for (const char c : text.substr(partStart(text))) {
        if (!isIgnored(c)) {
            key.push_back(upper(c));
        }
    }
    return key;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upper(x) == upper(y); });
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Left-aligned in a column of `width`; a longer text is written whole.
void padded(std::ostream &out, std::string_view text, std::size_t width)
{
    out << text;
    for (std::size_t n = text.size(); n < width; ++n) {
        out << ' ';
    }
}

constexpr std::string_view kModelHeading = "Phone Model";

// Widths that line up every model ("6310I"), family ("DCT4") and label ("FLASH IC 2").
constexpr std::size_t kModelWidth = 5;
constexpr std::size_t kFamilyWidth = 4;
constexpr std::size_t kLabelWidth = kModelHeading.size();
constexpr std::size_t kPlaceWidth = 10; // "FLASH IC 2"

std::string_view plural(std::size_t count, std::string_view one, std::string_view many)
{
    return count == 1 ? one : many;
}

} // namespace

PartKey::PartKey(std::string text)
    : text_(std::move(text))
{
}

std::optional<PartKey> PartKey::from(std::string_view part)
{
    std::string key = reduced(part);
    if (key.empty()) {
        return std::nullopt;
    }
    return PartKey(std::move(key));
}

bool PartKey::foundIn(std::string_view stored) const
{
    return reduced(stored).find(text_) != std::string::npos;
}

std::vector<Hit> findPart(const PartKey &key)
{
    std::vector<Hit> hits;
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        for (std::size_t slot = 0; slot < record.slots.size(); ++slot) {
            if (key.foundIn(record.slots[slot])) {
                hits.push_back({&record, slot});
            }
        }
    }
    return hits;
}

std::string slotLabel(const ComponentSlot &slot)
{
    std::string label(columnHeading(slot.column));
    label += ' ';
    label += std::to_string(slot.row + 1);
    return label;
}

const ModelRecord *findModel(std::string_view model)
{
    const std::string_view wanted = trimmed(model);
    const auto records = ComponentCatalogue::records();
    const auto found = std::find_if(records.begin(), records.end(), [wanted](const auto &record) {
        return equalIgnoringCase(record.model, wanted);
    });
    return found == records.end() ? nullptr : &*found;
}

std::optional<PlatformFamily> findFamily(std::string_view name)
{
    const std::string_view wanted = trimmed(name);
    for (const PlatformFamily family : kFamilies) {
        if (equalIgnoringCase(familyName(family), wanted)) {
            return family;
        }
    }
    return std::nullopt;
}

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 when it is not one
// (a stray continuation byte, a cut-off sequence, an overlong form or a surrogate).
std::size_t utf8SequenceLength(std::string_view text, char32_t &codePoint)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80U) {
        codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0U) == 0xC0U) {
        length = 2;
        value = lead & 0x1FU;
        least = 0x80;
    } else if ((lead & 0xF0U) == 0xE0U) {
        length = 3;
        value = lead & 0x0FU;
        least = 0x800;
    } else if ((lead & 0xF8U) == 0xF0U) {
        length = 4;
        value = lead & 0x07U;
        least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0U) != 0x80U) {
            return 0;
        }
        value = (value << 6U) | (byte(i) & 0x3FU);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    codePoint = value;
    return length;
}

} // namespace

std::string printable(std::string_view text)
{
    constexpr std::string_view hexDigits = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    const auto hex = [&shown, hexDigits](unsigned value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
            shown += hexDigits[(value >> static_cast<unsigned>(shift)) & 0xFU];
        }
    };
    while (!text.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = utf8SequenceLength(text, codePoint);
        if (length == 0) {
            shown += "\\x";
            hex(static_cast<unsigned char>(text.front()), 2);
            text.remove_prefix(1);
            continue;
        }
        switch (codePoint) {
        case '\\':
            shown += "\\\\";
            break;
        case '\n':
            shown += "\\n";
            break;
        case '\r':
            shown += "\\r";
            break;
        case '\t':
            shown += "\\t";
            break;
        default:
            if (codePoint < 0x20 || codePoint == 0x7F) {
                shown += "\\x";
                hex(static_cast<unsigned>(codePoint), 2);
            } else if (codePoint >= 0x80 && codePoint < 0xA0) {
                // The C1 controls, which some terminals obey as escape sequences too.
                shown += "\\u";
                hex(static_cast<unsigned>(codePoint), 4);
            } else {
                shown.append(text.substr(0, length));
            }
        }
        text.remove_prefix(length);
    }
    return shown;
}

void writeHits(std::ostream &out, std::string_view part, std::span<const Hit> hits)
{
    // The part as typed, but never a raw control character: the heading stays one line that no
    // argument can make look like another result.
    out << printable(part) << ": ";
    if (hits.empty()) {
        out << "no match\n";
        return;
    }
    // Hits come record by record, so each change of record is one more model.
    std::size_t models = 0;
    const ModelRecord *previous = nullptr;
    for (const Hit &hit : hits) {
        if (hit.record != previous) {
            ++models;
            previous = hit.record;
        }
    }
    out << hits.size() << ' ' << plural(hits.size(), "place", "places") << " in " << models << ' '
        << plural(models, "model", "models") << '\n';
    for (const Hit &hit : hits) {
        const ComponentSlot &slot = kComponentSlots.at(hit.slot);
        out << "  ";
        padded(out, hit.record->model, kModelWidth);
        out << "  ";
        padded(out, familyName(hit.record->family), kFamilyWidth);
        out << "  ";
        padded(out, slotLabel(slot), kPlaceWidth);
        out << "  " << hit.record->slots.at(hit.slot) << '\n';
    }
}

void writeModel(std::ostream &out, const ModelRecord &record)
{
    const auto line = [&out](std::string_view label, std::string_view text) {
        padded(out, label, kLabelWidth);
        out << "  " << (text.empty() ? "(blank)" : text) << '\n';
    };
    line(kModelHeading, record.model);
    for (std::size_t i = 0; i < kComponentSlots.size(); ++i) {
        line(slotLabel(kComponentSlots.at(i)), record.slots.at(i));
    }
}

void writeModelList(std::ostream &out, std::span<const ModelRecord> records)
{
    for (const ModelRecord &record : records) {
        padded(out, record.model, kModelWidth);
        out << "  ";
        out << familyName(record.family) << '\n';
    }
}

std::string jsonString(std::string_view text)
{
    constexpr std::string_view hexDigits = "0123456789abcdef";
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\b':
            quoted += "\\b";
            break;
        case '\f':
            quoted += "\\f";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                const auto code = static_cast<unsigned char>(c);
                quoted += "\\u00";
                quoted += hexDigits[code >> 4U];
                quoted += hexDigits[code & 0xFU];
            } else {
                quoted += c;
            }
        }
    }
    quoted += '"';
    return quoted;
}

std::string csvField(std::string_view text)
{
    // RFC 4180 keeps blanks at either end as part of the field, but many readers trim them, so
    // such a field is quoted too: the six texts that end in a blank must reach the reader whole.
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos
        || (!text.empty() && (isBlank(text.front()) || isBlank(text.back())));
    if (!quote) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') {
            field += '"';
        }
        field += c;
    }
    field += '"';
    return field;
}

void writeJson(std::ostream &out, std::span<const ModelRecord> records)
{
    out << "{\n  \"models\": [";
    const char *recordSeparator = "\n";
    for (const ModelRecord &record : records) {
        out << recordSeparator << "    {\n"
            << "      \"model\": " << jsonString(record.model) << ",\n"
            << "      \"family\": " << jsonString(familyName(record.family)) << ",\n"
            << "      \"button\": " << jsonString(record.button) << ",\n"
            << "      \"slots\": [\n";
        for (std::size_t i = 0; i < kComponentSlots.size(); ++i) {
            const ComponentSlot &slot = kComponentSlots.at(i);
            out << "        {\"box\": " << jsonString(slot.box)
                << ", \"column\": " << jsonString(columnHeading(slot.column))
                << ", \"row\": " << slot.row + 1 << ", \"text\": " << jsonString(record.slots.at(i))
                << (i + 1 < kComponentSlots.size() ? "},\n" : "}\n");
        }
        out << "      ]\n    }";
        recordSeparator = ",\n";
    }
    out << "\n  ]\n}\n";
}

void writeCsv(std::ostream &out, std::span<const ModelRecord> records)
{
    constexpr std::string_view lineEnd = "\r\n";
    out << "Family,Button," << csvField(kModelHeading);
    for (const ComponentSlot &slot : kComponentSlots) {
        out << ',' << csvField(slotLabel(slot));
    }
    out << lineEnd;
    for (const ModelRecord &record : records) {
        out << csvField(familyName(record.family)) << ',' << csvField(record.button) << ','
            << csvField(record.model);
        for (const std::string_view text : record.slots) {
            out << ',' << csvField(text);
        }
        out << lineEnd;
    }
}

} // namespace icatlas::find
