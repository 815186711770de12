// SPDX-License-Identifier: MIT
// icatlas-find's arguments, checked in full before anything is written (a usage error leaves the
// output empty); its terminal lines and JSON, CSV and tab-separated records, texts as stored and
// arguments echoed by printable(); and the hint on the standard error a part not found may earn.
#include "find/cli.hpp"

#include "icatlas/build_facts.hpp"
#include "matching/matching.hpp"
#include "text/unicode.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iomanip>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace icatlas::find {

namespace {

using matching::findFamily;
using matching::findModel;
using matching::findPart;
using matching::Hit;
using matching::listed;
using matching::nearest;
using matching::nearestModels;
using matching::PartKey;
using text::appendHex;
using text::printable;

// The columns of the terminal lines are as wide as their longest entry in the catalogue, each text
// left-aligned in its column.
constexpr auto kSize = [](std::string_view text) { return text.size(); };
constexpr auto kModelSize = [](const ModelRecord &record) { return record.model.size(); };
constexpr std::size_t kModelWidth = std::ranges::max(kModelRecords, {}, kModelSize).model.size();
constexpr std::size_t kFamilyWidth = std::ranges::max(kFamilyNames, {}, kSize).size();
constexpr std::size_t kTitleWidth = std::ranges::max(kBoxTitles, {}, kSize).size();

// A heading line naming the part as typed and how often it was found, then one line per hit:
// model, family, the box's title and the text, in columns as wide as the catalogue needs.
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
    std::ranges::transform(hits, std::inserter(models, models.end()), &Hit::record);
    out << hits.size() << (hits.size() == 1 ? " place" : " places") << " in " << models.size()
        << (models.size() == 1 ? " model" : " models") << '\n'
        << std::left;
    for (const Hit &hit : hits) {
        out << "  " << std::setw(kModelWidth) << hit.record->model << "  "
            << std::setw(kFamilyWidth) << familyName(hit.record->family) << "  "
            << std::setw(kTitleWidth) << kBoxTitles.at(hit.slot + 1) << "  "
            << hit.record->slots.at(hit.slot) << '\n';
    }
}

// One line per record: model and family.
void writeModelList(std::ostream &out, std::span<const ModelRecord> records)
{
    for (const ModelRecord &record : records) {
        out << std::left << std::setw(kModelWidth) << record.model << "  "
            << familyName(record.family) << '\n';
    }
}

enum class Format : std::uint8_t { Json, Csv, Tsv };

// One box of one record, as the exports write it; `part` is the part searched for as echoed, or
// empty when the whole catalogue is written.
struct BoxRecord {
    std::string part;
    const ModelRecord *record;
    std::size_t box; // index into kBoxNames and kBoxTitles
};

// The exports' columns, in order, for every format and every kind of request.
constexpr std::array<std::string_view, 7> kExportColumns {"part", "model",  "family",   "box",
                                                          "text", "box_id", "button_id"};

// The records in `format`: JSON as {"records": [{column: text, ...}, ...]}; CSV after RFC 4180
// with a heading line and CRLF line ends; tab-separated with a heading line and LF line ends
// (no text the catalogue holds or printable() writes contains a tab or a line end).
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

constexpr std::string_view kProgram = "icatlas-find";

std::string help()
{
    return R"help(Usage: icatlas-find [--json | --csv | --tsv] PART...
       icatlas-find --model MODEL | --family FAMILY | --list
       icatlas-find --json | --csv | --tsv
       icatlas-find --help | --version

Finds the NOKIA handset models whose catalogue record holds each PART, with the
box it stands in. Matching ignores case, blanks, '?', '-', a soft hyphen or
byte-order mark, and a leading count such as "3x ", and finds a part inside a
longer text, so N643HT7MI finds "3x N643HT7MI" and "?N643HT7MI". A PART that is
nothing but these (such as "?") is a usage error. A PART not found gets a hint
on the standard error: the model it names, or the nearest parts and models.
Put -- before a PART that starts with '-'.

  --model MODEL     the model's record, one line per box (e.g. --model 6310i,
                    --model "Nokia 6310 i")
  --family FAMILY   the models of )help"
        + listed(kFamilies, ", ", familyName, " or ") + R"help(, in window order
  --list            every model with its family
  --json            the boxes holding each PART, or the whole catalogue, as JSON
  --csv             the same as CSV (RFC 4180, CRLF line ends)
  --tsv             the same as tab-separated text
  --help            this help
  --version         the version

The exports hold one record per box, with the columns )help"
        + listed(kExportColumns, ", ", [](std::string_view column) { return column; }) + R"help(;
texts exactly as stored, trailing blanks included. The marks in the part
numbers ("@UPP", "?", "3x ", "(4Mx16)") are explained in icatlas-find(1).

Exit status: 0 when something was found, 1 when no PART was found, 2 for a
usage error (unknown option, model or family) or output that could not be
written.
)help";
}

enum class Mode : std::uint8_t { Parts, Model, Family, List, Help, Version };

// An option chooses what to do (a mode) or how to write it (a format), not both.
struct Option {
    std::string_view name;
    std::optional<Mode> mode;
    std::optional<Format> format;
    std::string_view example; // shown when the value is missing; empty: the option takes none
};

constexpr std::array kOptions = std::to_array<Option>({
    {"--model", Mode::Model, {}, "--model 6310I"},
    {"--family", Mode::Family, {}, "--family DCT4"},
    {"--list", Mode::List, {}, {}},
    {"--json", {}, Format::Json, {}},
    {"--csv", {}, Format::Csv, {}},
    {"--tsv", {}, Format::Tsv, {}},
    {"--help", Mode::Help, {}, {}},
    {"-h", Mode::Help, {}, {}},
    {"--version", Mode::Version, {}, {}},
});

struct Request {
    Mode mode = Mode::Parts;
    std::optional<Format> format;
    std::string_view chosenBy; // the option that chose the mode or the format, for messages
    std::string_view value; // the model or family
    std::vector<std::string_view> parts;
};

// A request, or the reason the arguments make none.
using Parsed = std::variant<Request, std::string>;

// An argument as a message shows it: quoted, and with its control and invisible characters
// escaped, so every message stays one line that no argument can forge.
std::string quoted(std::string_view text)
{
    return "'" + printable(text) + "'";
}

Parsed parse(std::span<const std::string_view> args)
{
    Request request;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
            request.parts.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const auto *option = std::ranges::find(kOptions, arg.substr(0, equals), &Option::name);
        if (option == kOptions.end()) {
            return {"unknown option " + quoted(arg) + " (try --help)"};
        }
        // A request has one mode or one format at most, which the option chooses.
        if (option->format ? request.format == option->format : request.mode == option->mode) {
            return {std::string(option->name) + " given twice"};
        }
        if (request.format || request.mode != Mode::Parts) {
            return {std::string(request.chosenBy) + " and " + std::string(option->name)
                    + " cannot be used together"};
        }
        request.format = option->format;
        request.mode = option->mode.value_or(Mode::Parts);
        request.chosenBy = option->name;
        if (option->example.empty()) {
            if (equals != std::string_view::npos) {
                return {std::string(option->name) + " takes no value"};
            }
        } else if (equals != std::string_view::npos) {
            request.value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            request.value = args[++i];
        } else {
            return {std::string(option->name) + " needs a value, e.g. "
                    + std::string(option->example)};
        }
    }
    if (request.mode == Mode::Parts && request.parts.empty() && !request.format) {
        return {"no part number given (try --help)"};
    }
    if (request.mode != Mode::Parts && !request.parts.empty()) {
        return {std::string(request.chosenBy) + " takes no part numbers, but got "
                + quoted(request.parts.front())};
    }
    return request;
}

int usageError(std::ostream &err, std::string_view message)
{
    err << kProgram << ": " << message << '\n';
    return kExitUsageError;
}

int findParts(const Request &request, std::ostream &out, std::ostream &err)
{
    std::vector<PartKey> keys;
    for (const std::string_view part : request.parts) {
        std::optional<PartKey> key = PartKey::from(part);
        if (!key) {
            return usageError(err,
                              quoted(part)
                                  + " holds no part number once case, blanks, '?', '-' and a "
                                    "count such as \"3x \" are set aside");
        }
        keys.push_back(std::move(*key));
    }
    bool found = false;
    std::vector<BoxRecord> records;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string_view part = request.parts[i];
        const std::vector<Hit> hits = findPart(keys[i]);
        found = found || !hits.empty();
        if (request.format) {
            for (const Hit &hit : hits) {
                records.push_back({printable(part), hit.record, hit.slot + 1});
            }
        } else {
            out << (i > 0 ? "\n" : "");
            writeHits(out, part, hits);
        }
        if (hits.empty()) {
            // What the part may have meant, in one line, or nothing when no guess is near.
            if (const ModelRecord *model = findModel(part)) {
                err << printable(part) << " is a model: " << kProgram << " --model " << model->model
                    << '\n';
            } else if (const std::string question = didYouMean(nearest(keys[i]), "--model ");
                       !question.empty()) {
                err << printable(part) << ": " << question << '\n';
            }
        }
    }
    if (request.format) {
        writeRecords(out, *request.format, records);
    }
    return found ? kExitFound : kExitNothingFound;
}

int unknownModel(std::ostream &err, std::string_view typed)
{
    std::string message = "unknown model " + quoted(typed);
    const std::string question = didYouMean(nearestModels(typed));
    if (const std::optional<PartKey> key = PartKey::from(typed); key && !findPart(*key).empty()) {
        message += "; " + printable(typed) + " is a part: " + std::string(kProgram) + " "
            + printable(typed);
    } else if (!question.empty()) {
        message += "; " + question;
    } else {
        message += " (try --list)";
    }
    return usageError(err, message);
}

} // namespace

std::string jsonString(std::string_view text)
{
    std::string quoted = "\"";
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
    return quoted + '"';
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

int run(std::span<const std::string_view> args, std::ostream &out, std::ostream &err)
{
    const Parsed parsed = parse(args);
    if (const auto *error = std::get_if<std::string>(&parsed)) {
        return usageError(err, *error);
    }
    const auto &request = std::get<Request>(parsed);
    switch (request.mode) {
    case Mode::Parts:
        if (request.parts.empty()) {
            // Every box of every record, the model box first, in window order.
            std::vector<BoxRecord> records;
            for (const ModelRecord &record : ComponentCatalogue::records()) {
                for (std::size_t box = 0; box < kBoxCount; ++box) {
                    records.push_back({{}, &record, box});
                }
            }
            writeRecords(out, *request.format, records);
            return kExitFound;
        }
        return findParts(request, out, err);
    case Mode::Model:
        if (const ModelRecord *record = findModel(request.value)) {
            // One line per box, each named by its title; a blank box reads "(blank)".
            const auto texts = record->boxTexts();
            for (std::size_t box = 0; box < kBoxCount; ++box) {
                out << std::left << std::setw(kTitleWidth) << kBoxTitles.at(box) << "  "
                    << (texts.at(box).empty() ? "(blank)" : texts.at(box)) << '\n';
            }
            return kExitFound;
        }
        return unknownModel(err, request.value);
    case Mode::Family:
        if (const std::optional<PlatformFamily> family = findFamily(request.value)) {
            writeModelList(out, ComponentCatalogue::family(*family));
            return kExitFound;
        }
        return usageError(err,
                          "unknown family " + quoted(request.value) + "; the families are "
                              + listed(kFamilies, ", ", familyName, " and "));
    case Mode::List:
        writeModelList(out, ComponentCatalogue::records());
        return kExitFound;
    case Mode::Help:
        out << help();
        return kExitFound;
    case Mode::Version:
        out << kProgram << ' ' << kVersion << '\n';
        return kExitFound;
    }
    return usageError(err, "internal error: unhandled request");
}

} // namespace icatlas::find
