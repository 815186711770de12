// SPDX-License-Identifier: MIT
// The matching of parts, models and families, and the nearest ones to a miss (matching.hpp).
#include "matching/matching.hpp"

#include "text/unicode.hpp"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <utility>

namespace icatlas::matching {

namespace {

using text::firstChar;
using text::isBlank;
using text::isIgnorable;

constexpr char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// `text` in upper case, with every blank, ASCII or Unicode, written as one ' ' and every
// character that takes no room left out; all else, malformed bytes included, as it is.
std::string folded(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        // A byte that starts no character is kept alone (its code point, 0, is neither class).
        const auto [code, size] = firstChar(text);
        const std::size_t length = std::max<std::size_t>(size, 1);
        if (isBlank(code)) {
            result += ' ';
        } else if (!isIgnorable(code)) {
            result.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    std::ranges::transform(result, result.begin(), upper);
    return result;
}

// Characters the catalogue uses loosely: '?' marks an unsure reading, '-' is written or left out
// as the maker's marking happens to show it. Blanks are ' ' once folded.
constexpr std::string_view kLoose = " ?-";

// A count such as "3x": digits and an 'x'.
constexpr bool isCount(std::string_view token)
{
    return token.size() >= 2 && upper(token.back()) == 'X'
        && token.find_first_not_of("0123456789") == token.size() - 1;
}

std::string reduced(std::string_view text)
{
    std::string key = folded(text);
    // The part proper starts past leading blanks, '?' and '-', and past a count that a blank or
    // the end follows. Without that blank it would be part of the part number.
    const std::size_t start = std::min(key.find_first_not_of(kLoose), key.size());
    const std::size_t end = std::min(key.find(' ', start), key.size());
    key.erase(0, isCount(std::string_view(key).substr(start, end - start)) ? end : 0);
    std::erase_if(key, [](char c) { return kLoose.find(c) != std::string_view::npos; });
    return key;
}

// Folded, without any blank: how a model or family name is compared.
std::string squeezed(std::string_view text)
{
    std::string name = folded(text);
    std::erase(name, ' ');
    return name;
}

struct Candidate {
    std::string key;
    Suggestion suggestion;
};

// The part numbers a slot text names: its words, split at blanks, brackets, '&' and '+', each
// without its '?'. Left out: counts ("3x"), pointers to another column ("@UPP") and words
// under four characters ("4M", "x16"), which are sizes and organisations, not parts.
std::vector<std::string_view> partWords(std::string_view text)
{
    std::vector<std::string_view> words;
    constexpr std::string_view separators = " ()&+";
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(separators), text.size());
        std::string_view word = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        word.remove_prefix(std::min(word.find_first_not_of('?'), word.size()));
        word.remove_suffix(word.size() - (word.find_last_not_of('?') + 1));
        if (word.size() >= 4 && word.front() != '@' && !isCount(word)) {
            words.push_back(word);
        }
    }
    return words;
}

// Edits from `a` to `b` (insertions, deletions, changes and swaps of neighbours), or more than
// `limit` where their lengths differ by more: a long paste costs no table of its size.
std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit)
{
    if (std::max(a.size(), b.size()) - std::min(a.size(), b.size()) > limit) {
        return limit + 1;
    }
    // Three rows of the usual table: two rows back, the row before, and this one.
    std::vector<std::size_t> twoBack(b.size() + 1);
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    std::iota(previous.begin(), previous.end(), std::size_t {0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], twoBack[j - 2] + 1);
            }
        }
        std::swap(twoBack, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// A model's name as typed, without the maker's name, blanks and case: "Nokia 6310 i" is "6310I".
std::string modelName(std::string_view typed)
{
    constexpr std::string_view maker = "NOKIA";
    std::string model = squeezed(typed);
    return model.starts_with(maker) ? model.substr(maker.size()) : model;
}

std::vector<Suggestion> nearestTo(std::string_view key, bool modelsOnly)
{
    // Models and part numbers in window order, each once.
    static const std::vector<Candidate> all = [] {
        std::vector<Candidate> list;
        const auto add = [&list](std::string reducedText, Suggestion suggestion) {
            if (std::ranges::find(list, reducedText, &Candidate::key) == list.end()) {
                list.push_back({std::move(reducedText), suggestion});
            }
        };
        for (const ModelRecord &record : ComponentCatalogue::records()) {
            add(std::string(record.model), {record.model, true});
            for (const std::string_view text : record.slots) {
                for (const std::string_view word : partWords(text)) {
                    add(reduced(word), {word, false});
                }
            }
        }
        return list;
    }();
    const std::size_t limit = key.size() >= 6 ? 2 : 1;
    std::size_t best = limit; // the fewest edits found yet, or the most a suggestion may be away
    std::vector<Suggestion> found;
    for (const Candidate &candidate : all) {
        if (modelsOnly && !candidate.suggestion.isModel) {
            continue;
        }
        const std::size_t distance = editDistance(key, candidate.key, limit);
        if (distance < best) {
            best = distance;
            found.clear();
        }
        if (distance == best && found.size() < kMostSuggestions) {
            found.push_back(candidate.suggestion);
        }
    }
    return found;
}

} // namespace

std::optional<PartKey> PartKey::from(std::string_view part)
{
    std::string key = reduced(part);
    return key.empty() ? std::nullopt : std::optional(PartKey(std::move(key)));
}

std::vector<Hit> findPart(const PartKey &key)
{
    // Every slot's text reduced once, in kModelRecords' order, slot by slot.
    static const std::vector<std::string> slots = [] {
        std::vector<std::string> keys;
        for (const ModelRecord &record : ComponentCatalogue::records()) {
            std::ranges::transform(record.slots, std::back_inserter(keys), reduced);
        }
        return keys;
    }();
    std::vector<Hit> hits;
    const auto records = ComponentCatalogue::records();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].find(key.text()) != std::string::npos) {
            hits.push_back({&records[i / kSlotCount], i % kSlotCount});
        }
    }
    return hits;
}

const ModelRecord *findModel(std::string_view typed)
{
    return ComponentCatalogue::findByModel(modelName(typed));
}

std::optional<PlatformFamily> findFamily(std::string_view name)
{
    const auto *found = std::ranges::find(kFamilies, squeezed(name), familyName);
    return found != kFamilies.end() ? std::optional(*found) : std::nullopt;
}

std::vector<Suggestion> nearest(const PartKey &key)
{
    return nearestTo(key.text(), false);
}

std::vector<Suggestion> nearestModels(std::string_view typed)
{
    return nearestTo(modelName(typed), true);
}

std::string didYouMean(std::span<const Suggestion> suggestions, std::string_view modelPrefix)
{
    const auto shown = [modelPrefix](const Suggestion &suggestion) {
        return std::string(suggestion.isModel ? modelPrefix : "").append(suggestion.text);
    };
    return suggestions.empty() ? ""
                               : "did you mean " + listed(suggestions, ", ", shown, " or ") + "?";
}

} // namespace icatlas::matching
