// SPDX-License-Identifier: MIT
// The rules of a form's controls (see controls.hpp).
#include "forms/core/controls.hpp"

#include <algorithm>

namespace forms {

std::vector<std::optional<std::size_t>> containers(std::span<const ControlDefinition> controls)
{
    std::vector<std::optional<std::size_t>> parents(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!controls[i].container.empty()) {
            parents[i] = controlIndex(controls.first(i), controls[i].container, ControlKind::Frame);
        }
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
    std::ranges::stable_sort(order, {}, [controls](std::size_t i) { return controls[i].tabIndex; });
    return order;
}

} // namespace forms
