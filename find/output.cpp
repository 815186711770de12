// SPDX-License-Identifier: MIT
// The terminal lines and the JSON, CSV and tab-separated records of icatlas-find.
#include "find/output.hpp"

#include "text/unicode.hpp"

#include <algorithm>
#include <iomanip>
#include <set>
#include <sstream>

namespace icatlas::find {

using matching::Hit;
using matching::listed;

namespace {

using text::appendHex;

// The columns of the terminal lines are as wide as their longest entry in the catalogue, each text
// left-aligned in its column.
constexpr auto kSize = [](std::string_view text) { return text.size(); };
constexpr auto kModelSize = [](const ModelRecord &record) { return record.model.size(); };
constexpr std::size_t kModelWidth = std::ranges::max(kModelRecords, {}, kModelSize).model.size();
constexpr std::size_t kFamilyWidth = std::ranges::max(kFamilyNames, {}, kSize).size();
constexpr std::size_t kTitleWidth = std::ranges::max(kBoxTitles, {}, kSize).size();

std::string_view plural(std::size_t count, std::string_view one, std::string_view many)
{
    return count == 1 ? one : many;
}

} // namespace

void writeHits(std::ostream &out, std::string_view part, std::span<const Hit> hits)
{
    // The part as typed, but never a raw control character: the heading stays one line that no
    // argument can make look like another result.
    out << printable(part) << ": ";
    if (hits.empty()) {
        out << "no match\n";
        return;
    }
    std::set<const ModelRecord *> models;
    for (const Hit &hit : hits) {
        models.insert(hit.record);
    }
    out << hits.size() << ' ' << plural(hits.size(), "place", "places") << " in " << models.size()
        << ' ' << plural(models.size(), "model", "models") << '\n'
        << std::left;
    for (const Hit &hit : hits) {
        out << "  " << std::setw(kModelWidth) << hit.record->model << "  "
            << std::setw(kFamilyWidth) << familyName(hit.record->family) << "  "
            << std::setw(kTitleWidth) << kBoxTitles.at(hit.slot + 1) << "  "
            << hit.record->slots.at(hit.slot) << '\n';
    }
}

void writeModel(std::ostream &out, const ModelRecord &record)
{
    const auto texts = record.boxTexts();
    for (std::size_t box = 0; box < kBoxCount; ++box) {
        out << std::left << std::setw(kTitleWidth) << kBoxTitles.at(box) << "  "
            << (texts.at(box).empty() ? "(blank)" : texts.at(box)) << '\n';
    }
}

void writeModelList(std::ostream &out, std::span<const ModelRecord> records)
{
    for (const ModelRecord &record : records) {
        out << std::left << std::setw(kModelWidth) << record.model << "  "
            << familyName(record.family) << '\n';
    }
}

std::string jsonString(std::string_view text)
{
    std::string quoted = "\"";
    // The characters JSON escapes by a letter, and those letters.
    constexpr std::string_view kEscaped = "\"\\\b\f\n\r\t";
    constexpr std::string_view kLetters = "\"\\bfnrt";
    for (const char c : text) {
        if (const std::size_t at = kEscaped.find(c); at != std::string_view::npos) {
            quoted.append(1, '\\').append(1, kLetters[at]);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            quoted += "\\u";
            appendHex(quoted, static_cast<unsigned char>(c), 4);
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::string csvField(std::string_view text)
{
    // RFC 4180 keeps blanks at either end as part of the field, but many readers trim them, so
    // such a field is quoted too: the six texts that end in a blank must reach the reader whole.
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos
        || (!text.empty() && (blank(text.front()) || blank(text.back())));
    if (!quote) {
        return std::string(text);
    }
    std::ostringstream field;
    field << std::quoted(text, '"', '"'); // each quote inside doubled
    return field.str();
}

std::vector<BoxRecord> catalogueRecords()
{
    std::vector<BoxRecord> records;
    for (const ModelRecord &record : ComponentCatalogue::records()) {
        for (std::size_t box = 0; box < kBoxCount; ++box) {
            records.push_back({{}, &record, box});
        }
    }
    return records;
}

void writeRecords(std::ostream &out, Format format, std::span<const BoxRecord> records)
{
    using Fields = std::array<std::string_view, kExportColumns.size()>;
    const auto fields = [](const BoxRecord &r) {
        return Fields {r.part,
                       r.record->model,
                       familyName(r.record->family),
                       kBoxTitles.at(r.box),
                       r.record->boxTexts().at(r.box),
                       kBoxNames.at(r.box),
                       r.record->button};
    };
    if (format == Format::Json) {
        const auto object = [&fields](const BoxRecord &record) {
            const Fields values = fields(record);
            std::string text = "    {";
            for (std::size_t i = 0; i < values.size(); ++i) {
                text.append(i > 0 ? ", " : "").append(jsonString(kExportColumns.at(i)));
                text.append(": ").append(jsonString(values.at(i)));
            }
            return text + "}";
        };
        out << "{\n  \"records\": ["
            << (records.empty() ? "" : "\n" + listed(records, ",\n", object) + "\n  ") << "]\n}\n";
        return;
    }
    const bool csv = format == Format::Csv;
    const auto line = [csv](const Fields &values) {
        const auto field
            = [csv](std::string_view value) { return csv ? csvField(value) : std::string(value); };
        return listed(values, csv ? "," : "\t", field) + (csv ? "\r\n" : "\n");
    };
    out << line(kExportColumns);
    for (const BoxRecord &record : records) {
        out << line(fields(record));
    }
}

} // namespace icatlas::find
