// SPDX-License-Identifier: MIT
// The find row's state over the same matching icatlas-find uses, so the window and the command
// line give one answer to one question.
#include "ui/find_state.hpp"

#include "matching/matching.hpp"
#include "text/unicode.hpp"

#include <algorithm>
#include <optional>

namespace icatlas::ui {

namespace {

// A box that shows nothing; the window's announcements skip the same boxes.
bool isBlank(std::string_view text)
{
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

void FindState::setQuery(std::string_view typed)
{
    *this = {};
    if (isBlank(typed)) {
        return;
    }
    // The text typed is echoed as icatlas-find echoes it: one line, whatever was pasted.
    const std::string echo = text::printable(typed) + ": ";
    const std::optional<matching::PartKey> key = matching::PartKey::from(typed);
    if (!key) {
        m_line = echo + "no part number";
        return;
    }
    for (const matching::Hit &hit : matching::findPart(*key)) {
        if (m_matches.empty() || m_matches.back() != hit.record) {
            m_matches.push_back(hit.record);
            m_slots.emplace_back();
        }
        m_slots.back().push_back(hit.slot);
    }
    if (!m_matches.empty()) {
        m_line = echo + std::to_string(m_matches.size())
            + (m_matches.size() == 1 ? " model: " : " models: ")
            + matching::listed(m_matches, ", ",
                               [](const ModelRecord *match) { return match->model; });
    } else if (const ModelRecord *model = matching::findModel(typed)) {
        m_matches.push_back(model);
        m_slots.emplace_back();
        m_line = echo + "model " + std::string(model->model);
    } else {
        const std::string question = matching::didYouMean(matching::nearest(*key));
        m_line = echo + "no match" + (question.empty() ? "" : "; " + question);
    }
    m_current = m_matches.size();
}

const ModelRecord *FindState::step(forms::FindStep step)
{
    if (m_matches.empty()) {
        return nullptr;
    }
    const std::size_t count = m_matches.size();
    if (step == forms::FindStep::Next) {
        m_current = m_current + 1 < count ? m_current + 1 : 0; // from none (count), the first
    } else {
        m_current = (m_current == 0 ? count : m_current) - 1; // from none, the last
    }
    return m_matches[m_current];
}

std::vector<forms::Mark> FindState::marks() const
{
    std::vector<forms::Mark> marks;
    for (std::size_t match = 0; match < m_matches.size(); ++match) {
        const ModelRecord &record = *m_matches[match];
        const auto place = [&record](std::size_t slot) {
            return std::string(record.slots.at(slot)) + " in "
                + std::string(kBoxTitles.at(slot + 1));
        };
        marks.push_back({record.button,
                         m_slots[match].empty()
                             ? "The model named"
                             : "Holds " + matching::listed(m_slots[match], ", ", place)});
    }
    if (m_current < m_matches.size()) {
        for (const std::size_t slot : m_slots[m_current]) {
            marks.push_back({kBoxNames.at(slot + 1), "Holds the part found"});
        }
    }
    return marks;
}

std::vector<std::string> filledBoxes(const ModelRecord &record, std::string_view between)
{
    std::vector<std::string> boxes;
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (!isBlank(record.slots.at(slot))) {
            boxes.push_back(
                std::string(kBoxTitles.at(slot + 1)).append(between).append(record.slots.at(slot)));
        }
    }
    return boxes;
}

std::string recordText(const ModelRecord &record)
{
    std::string text = std::string(record.model) + '\n';
    for (const std::string &box : filledBoxes(record, ": ")) {
        text.append(box) += '\n';
    }
    return text;
}

} // namespace icatlas::ui
