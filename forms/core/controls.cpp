// SPDX-License-Identifier: MIT
// The rules of a form's controls (see controls.hpp).
#include "forms/core/controls.hpp"

#include <algorithm>

namespace forms {

std::optional<std::size_t> controlIndex(std::span<const ControlDefinition> controls,
                                        std::string_view name, std::optional<ControlKind> kind)
{
    const auto found = std::find_if(
        controls.begin(), controls.end(), [name, kind](const ControlDefinition &control) {
            return control.name == name && (!kind || control.kind == *kind);
        });
    if (found == controls.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - controls.begin());
}

std::vector<std::optional<std::size_t>> containers(std::span<const ControlDefinition> controls)
{
    std::vector<std::optional<std::size_t>> parents(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].container.empty()) {
            continue;
        }
        parents[i] = controlIndex(controls.first(i), controls[i].container, ControlKind::Frame);
    }
    return parents;
}

std::vector<std::size_t> tabOrder(std::span<const ControlDefinition> controls)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (takesFocus(controls[i].kind)) {
            order.push_back(i);
        }
    }
    std::stable_sort(order.begin(), order.end(), [controls](std::size_t a, std::size_t b) {
        return controls[a].tabIndex < controls[b].tabIndex;
    });
    return order;
}

} // namespace forms
