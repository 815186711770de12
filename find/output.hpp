// SPDX-License-Identifier: MIT
// icatlas-find's lines for the terminal, and its records as JSON, CSV or tab-separated text: texts
// exactly as stored, trailing blanks included; every argument echoed through printable().
#pragma once

#include "catalogue/catalogue.hpp"
#include "matching/matching.hpp"
#include "text/unicode.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace icatlas::find {

using text::printable;

// A heading line naming the part as typed and how often it was found, then one line per hit:
// model, family, the box's title and the text, in columns as wide as the catalogue needs.
void writeHits(std::ostream &out, std::string_view part, std::span<const matching::Hit> hits);

// One line per box, each named by its title; a blank box reads "(blank)".
void writeModel(std::ostream &out, const ModelRecord &record);

// One line per record: model and family.
void writeModelList(std::ostream &out, std::span<const ModelRecord> records);

// A JSON string literal holding exactly `text`.
[[nodiscard]] std::string jsonString(std::string_view text);

// An RFC 4180 field holding exactly `text`, quoted only where a reader could misread it.
[[nodiscard]] std::string csvField(std::string_view text);

enum class Format : std::uint8_t { Json, Csv, Tsv };

// One box of one record, as the exports write it; `part` is the part searched for as echoed, or
// empty when the whole catalogue is written.
struct BoxRecord {
    std::string part;
    const ModelRecord *record;
    std::size_t box; // index into kBoxNames and kBoxTitles
};

// The exports' columns, in order, for every format and every kind of request.
inline constexpr std::array<std::string_view, 7> kExportColumns {
    "part", "model", "family", "box", "text", "box_id", "button_id"};

// Every box of every record, the model box first, in window order.
[[nodiscard]] std::vector<BoxRecord> catalogueRecords();

// The records in `format`: JSON as {"records": [{column: text, ...}, ...]}; CSV after RFC 4180
// with a heading line and CRLF line ends; tab-separated with a heading line and LF line ends
// (no text the catalogue holds or printable() writes contains a tab or a line end).
void writeRecords(std::ostream &out, Format format, std::span<const BoxRecord> records);

} // namespace icatlas::find
