// SPDX-License-Identifier: MIT
// What the window's find row knows: the text typed, the models that hold it, the one gone to, the
// boxes to mark there, and the answer line. No toolkit: the realisations only draw it.
#pragma once

#include "catalogue/catalogue.hpp"
#include "forms/core/find_row.hpp"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace icatlas::ui {

class FindState {
public:
    // Finds what was typed afresh, with the matching icatlas-find uses: a part in any box, else
    // the model it names. No model is gone to yet.
    void setQuery(std::string_view typed);

    // The models to mark, in window order; empty when nothing matches.
    [[nodiscard]] const std::vector<const ModelRecord *> &matches() const { return m_matches; }

    // Goes to the match after (or before) the current one, wrapping round; from none, to the
    // first (or the last). Null when nothing matches.
    const ModelRecord *step(forms::FindStep step);

    // The controls to mark: each match's button, with what it adds to its name for a screen
    // reader (the part it holds and where, "Holds 4370805 in POWER IC (UEM) 1", or that it is the
    // model named); then the boxes of the model gone to that hold the part, in box order.
    [[nodiscard]] std::vector<forms::Mark> marks() const;

    // The answer shown under the field and announced: "4370805: 7 models: 3510, 6310, ...",
    // "4370852: no match; did you mean 4370825?". Empty when nothing is typed.
    [[nodiscard]] const std::string &line() const { return m_line; }

private:
    std::vector<const ModelRecord *> m_matches;
    // Per match, the slots that hold the part; all empty when a model was named.
    std::vector<std::vector<std::size_t>> m_slots;
    std::size_t m_current = 0; // into m_matches; m_matches.size() when none
    std::string m_line;
};

// The boxes of a record after the model's that are not blank, each as its title, `between` and its
// text ("PA IC 1: PF08125B"), in box order.
[[nodiscard]] std::vector<std::string> filledBoxes(const ModelRecord &record,
                                                   std::string_view between);

// A model's record as text for the clipboard: the model, then "PA IC 1: PF08125B" for each box
// that is not blank, one a line, texts exactly as stored.
[[nodiscard]] std::string recordText(const ModelRecord &record);

} // namespace icatlas::ui
