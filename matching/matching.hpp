// SPDX-License-Identifier: MIT
// Forgiving matching of what a user types against the catalogue (parts, models, families, and the
// nearest to a miss), for icatlas-find and the window alike; how an answer is written is theirs.
#pragma once

#include "catalogue/catalogue.hpp"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace icatlas::matching {

// A part number as matching compares it, stored texts alike ("n643-ht7mi" finds "?N643HT7MI"):
// upper case, without blanks (Unicode ones too), '?', '-', characters that take no room (a soft
// hyphen, a byte-order mark) and a leading count such as "3x " ("3x N643HT7MI": three chips).
class PartKey {
public:
    // Nothing when the part reduces to nothing ("?", "-", "3x "): such a key would match every
    // box, which no user means.
    [[nodiscard]] static std::optional<PartKey> from(std::string_view part);

    [[nodiscard]] std::string_view text() const { return m_text; }

private:
    explicit PartKey(std::string text)
        : m_text(std::move(text))
    {
    }

    std::string m_text;
};

// One box that holds a part: the record, and the index of the slot in kComponentSlots.
struct Hit {
    const ModelRecord *record;
    std::size_t slot;
};

// Every box holding the part, in window order and, within a record, box order.
[[nodiscard]] std::vector<Hit> findPart(const PartKey &key);

// The record of the model a user names, forgiving the maker's name, blanks and case: "6310I",
// "6310i", "6310 i" and "Nokia 6310i" all name the 6310I. Nothing when no model is named.
[[nodiscard]] const ModelRecord *findModel(std::string_view typed);

// The family named `name`, ignoring case and surrounding blanks, or nothing.
[[nodiscard]] std::optional<PlatformFamily> findFamily(std::string_view name);

// A part number or model close to what was typed, as the catalogue writes it.
struct Suggestion {
    std::string_view text;
    bool isModel;
};

// The parts and models nearest to a key that found nothing: those the fewest edits away (a
// character added, left out, changed, or two neighbours swapped), up to two edits for keys of
// six characters or more and one for shorter ones; at most kMostSuggestions, in window order.
inline constexpr std::size_t kMostSuggestions = 3;
[[nodiscard]] std::vector<Suggestion> nearest(const PartKey &key);

// The models nearest to a model name that found none, by the same rule, the name forgiven as
// findModel forgives it.
[[nodiscard]] std::vector<Suggestion> nearestModels(std::string_view typed);

// The items as a message lists them, each written by `name`, `between` two of them but `last`
// (where given) before the last: "a, b and c".
template <typename Range, typename Name>
[[nodiscard]] std::string listed(const Range &items, std::string_view between, Name name,
                                 std::string_view last = {})
{
    std::string list;
    for (std::size_t i = 0; const auto &item : items) {
        if (i++ > 0) {
            list += !last.empty() && i == std::size(items) ? last : between;
        }
        list += name(item);
    }
    return list;
}

// "did you mean A, B or C?", each model after `modelPrefix` (icatlas-find names a model by the
// option that shows it); empty when there is nothing to suggest.
[[nodiscard]] std::string didYouMean(std::span<const Suggestion> suggestions,
                                     std::string_view modelPrefix = {});

} // namespace icatlas::matching
