// SPDX-License-Identifier: MIT
// Argument handling for icatlas-find: options are checked in full before anything is written, so
// a usage error leaves the output empty.
#include "find/cli.hpp"

#include "find/lookup.hpp"
#include "icatlas/build_facts.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace icatlas::find {

namespace {

constexpr std::string_view kProgram = "icatlas-find";

constexpr std::string_view kHelp = R"(Usage: icatlas-find PART...
       icatlas-find --model MODEL | --family FAMILY | --list | --json | --csv
       icatlas-find --help | --version

Finds the NOKIA handset models whose catalogue record holds each PART, with the
column and row it stands in. Matching ignores case, blanks, '?', '-' and a
leading count such as "3x ", and finds a part inside a longer text, so
N643HT7MI finds "3x N643HT7MI" and "?N643HT7MI". A PART that is nothing but
these (such as "?") is a usage error. Put -- before a PART that starts with '-'.

  --model MODEL     the model's record, one line per box (e.g. --model 6310I)
  --family FAMILY   the models of DCT3, DCT4 or WD2, in window order
  --list            every model with its family
  --json            the whole catalogue as JSON, texts exactly as stored
  --csv             the whole catalogue as CSV (RFC 4180, CRLF line ends)
  --help            this help
  --version         the version

Exit status: 0 when something was found, 1 when no PART was found, 2 for a
usage error (unknown option, model or family) or output that could not be
written.
)";

enum class Mode : std::uint8_t { Parts, Model, Family, List, Json, Csv, Help, Version };

struct Option {
    std::string_view name;
    Mode mode;
    bool takesValue;
    std::string_view example; // shown when the value is missing
};

constexpr std::array kOptions = std::to_array<Option>({
    {"--model", Mode::Model, true, "--model 6310I"},
    {"--family", Mode::Family, true, "--family DCT4"},
    {"--list", Mode::List, false, {}},
    {"--json", Mode::Json, false, {}},
    {"--csv", Mode::Csv, false, {}},
    {"--help", Mode::Help, false, {}},
    {"-h", Mode::Help, false, {}},
    {"--version", Mode::Version, false, {}},
});

struct Request {
    Mode mode = Mode::Parts;
    std::string_view option; // the option that chose the mode, for messages
    std::string_view value; // the model or family
    std::vector<std::string_view> parts;
};

// A request, or the reason the arguments make none.
struct Parsed {
    std::optional<Request> request;
    std::string error;
};

Parsed refused(std::string error)
{
    return {std::nullopt, std::move(error)};
}

// An argument as a message shows it: quoted, and with its control characters escaped, so every
// message stays one line that no argument can forge.
std::string quoted(std::string_view text)
{
    return "'" + printable(text) + "'";
}

const Option *optionNamed(std::string_view name)
{
    const auto *found = std::find_if(kOptions.begin(), kOptions.end(),
                                     [name](const Option &option) { return option.name == name; });
    return found == kOptions.end() ? nullptr : found;
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
        const Option *option = optionNamed(arg.substr(0, equals));
        if (option == nullptr) {
            return refused("unknown option " + quoted(arg) + " (try --help)");
        }
        if (request.mode == option->mode) {
            return refused(std::string(option->name) + " given twice");
        }
        if (request.mode != Mode::Parts) {
            return refused(std::string(request.option) + " and " + std::string(option->name)
                           + " cannot be used together");
        }
        request.mode = option->mode;
        request.option = option->name;
        if (!option->takesValue && equals != std::string_view::npos) {
            return refused(std::string(option->name) + " takes no value");
        }
        if (option->takesValue) {
            if (equals != std::string_view::npos) {
                request.value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                request.value = args[++i];
            } else {
                return refused(std::string(option->name) + " needs a value, e.g. "
                               + std::string(option->example));
            }
        }
    }
    if (request.mode == Mode::Parts && request.parts.empty()) {
        return refused("no part number given (try --help)");
    }
    if (request.mode != Mode::Parts && !request.parts.empty()) {
        return refused(std::string(request.option) + " takes no part numbers, but got "
                       + quoted(request.parts.front()));
    }
    return {std::move(request), {}};
}

int usageError(std::ostream &err, std::string_view message)
{
    err << kProgram << ": " << message << '\n';
    return kExitUsageError;
}

int findParts(std::span<const std::string_view> parts, std::ostream &out, std::ostream &err)
{
    std::vector<PartKey> keys;
    keys.reserve(parts.size());
    for (const std::string_view part : parts) {
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
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::vector<Hit> hits = findPart(keys[i]);
        found = found || !hits.empty();
        if (i > 0) {
            out << '\n';
        }
        writeHits(out, parts[i], hits);
    }
    return found ? kExitFound : kExitNothingFound;
}

} // namespace

int run(std::span<const std::string_view> args, std::ostream &out, std::ostream &err)
{
    const Parsed parsed = parse(args);
    if (!parsed.request) {
        return usageError(err, parsed.error);
    }
    const Request &request = *parsed.request;
    switch (request.mode) {
    case Mode::Parts:
        return findParts(request.parts, out, err);
    case Mode::Model: {
        const ModelRecord *record = findModel(request.value);
        if (record == nullptr) {
            return usageError(err, "unknown model " + quoted(request.value) + " (try --list)");
        }
        writeModel(out, *record);
        return kExitFound;
    }
    case Mode::Family: {
        const std::optional<PlatformFamily> family = findFamily(request.value);
        if (!family) {
            return usageError(err,
                              "unknown family " + quoted(request.value)
                                  + "; the families are DCT3, DCT4 and WD2");
        }
        writeModelList(out, ComponentCatalogue::family(*family));
        return kExitFound;
    }
    case Mode::List:
        writeModelList(out, ComponentCatalogue::records());
        return kExitFound;
    case Mode::Json:
        writeJson(out, ComponentCatalogue::records());
        return kExitFound;
    case Mode::Csv:
        writeCsv(out, ComponentCatalogue::records());
        return kExitFound;
    case Mode::Help:
        out << kHelp;
        return kExitFound;
    case Mode::Version:
        out << kProgram << ' ' << kVersion << '\n';
        return kExitFound;
    }
    return usageError(err, "internal error: unhandled request");
}

} // namespace icatlas::find
