// SPDX-License-Identifier: MIT
// The rules every realisation follows to build a form from its definition, as pure functions so
// each is written once: the container each control lies in and the order the keyboard focus walks.
#pragma once

#include "forms/core/definition.hpp"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <optional>
#include <span>
#include <vector>

namespace forms {

// Each control's container, by position: the frame it names among the controls defined before
// it. None: the form's client area, also for a container named later or not at all, so a faulty
// definition still gives every control a parent.
[[nodiscard]] inline std::vector<std::optional<std::size_t>>
containers(std::span<const ControlDefinition> controls)
{
    std::vector<std::optional<std::size_t>> parents(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!controls[i].container.empty()) {
            parents[i] = controlIndex(controls.first(i), controls[i].container, ControlKind::Frame);
        }
    }
    return parents;
}

// The controls that take the focus, by position, in ascending tab index (definition order where
// two share one): the walk of Tab, whose first is the control focused when the form is shown.
[[nodiscard]] inline std::vector<std::size_t> tabOrder(std::span<const ControlDefinition> controls)
{
    std::vector<std::size_t> order(controls.size());
    std::iota(order.begin(), order.end(), std::size_t {0});
    std::erase_if(order, [controls](std::size_t i) { return !takesFocus(controls[i].kind); });
    std::ranges::stable_sort(order, {}, [controls](std::size_t i) { return controls[i].tabIndex; });
    return order;
}

} // namespace forms
