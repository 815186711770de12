// SPDX-License-Identifier: MIT
// What icatlas-find knows how to do with the catalogue: find the boxes that hold a part, find a
// model or family by the name a user types, and write records as text, JSON or CSV. Argument
// handling lives apart (cli.hpp) so that each of these can be called on its own.
#pragma once

#include "catalogue/catalogue.hpp"

#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace icatlas::find {

// A part number reduced to what matching compares: upper case, without blanks, '?' and '-', and
// without a leading count such as "3x " (the catalogue writes "3x N643HT7MI" for three chips).
// Stored texts are reduced the same way, so "n643-ht7mi" finds "?N643HT7MI".
class PartKey {
public:
    // Nothing when the part reduces to nothing ("?", "-", "3x "): such a key would match every
    // box, which no user means.
    [[nodiscard]] static std::optional<PartKey> from(std::string_view part);

    [[nodiscard]] std::string_view text() const { return text_; }

    // Whether a stored text holds this part, alone or inside a longer text.
    [[nodiscard]] bool foundIn(std::string_view stored) const;

private:
    explicit PartKey(std::string text);

    std::string text_;
};

// One box that holds a part: the record, and the index of the slot in kComponentSlots.
struct Hit {
    const ModelRecord *record;
    std::size_t slot;
};

// Every box holding the part, in window order and, within a record, box order.
[[nodiscard]] std::vector<Hit> findPart(const PartKey &key);

// A slot as the user names it: its column heading and its row counted from 1 ("RAM IC 3").
[[nodiscard]] std::string slotLabel(const ComponentSlot &slot);

// The record whose model text is `model`, ignoring case and surrounding blanks, or nothing.
[[nodiscard]] const ModelRecord *findModel(std::string_view model);

// The family named `name`, ignoring case, or nothing.
[[nodiscard]] std::optional<PlatformFamily> findFamily(std::string_view name);

// `text` as one line a terminal shows as it is: control characters written as escapes ("\n",
// "\r", "\t", "\x1b", C1 controls as "\u009b"), bytes that are not UTF-8 as "\xff", and the
// backslash doubled so that no escape can be faked. Every argument echoed back goes through this.
[[nodiscard]] std::string printable(std::string_view text);

// A heading line naming the part as typed and how often it was found, then one line per hit.
void writeHits(std::ostream &out, std::string_view part, std::span<const Hit> hits);

// One line per box, the model first, each named by its heading; a blank slot reads "(blank)".
void writeModel(std::ostream &out, const ModelRecord &record);

// One line per record: model and family.
void writeModelList(std::ostream &out, std::span<const ModelRecord> records);

// A JSON string literal holding exactly `text`.
[[nodiscard]] std::string jsonString(std::string_view text);

// An RFC 4180 field holding exactly `text`, quoted only where a reader could misread it.
[[nodiscard]] std::string csvField(std::string_view text);

// The records, every text exactly as stored.
void writeJson(std::ostream &out, std::span<const ModelRecord> records);
void writeCsv(std::ostream &out, std::span<const ModelRecord> records);

} // namespace icatlas::find
