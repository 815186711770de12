// SPDX-License-Identifier: MIT
// The promises suite's driver over the in-memory form: the window as the core's rules alone make
// it, laid out by the core's conversion from twips, focused along the core's tab order and keyed
// by the core's key table (Space pressing the focused button, as every toolkit's buttons do).
#pragma once

#include "tests/support/memory_form.hpp"
#include "tests/support/window_expectations.hpp"

#include "forms/core/controls.hpp"
#include "forms/core/keys.hpp"
#include "forms/core/result.hpp"
#include "forms/core/scaling.hpp"
#include "ui/main_window.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class MemoryWindow {
public:
    static constexpr std::string_view kName = "memory";

    explicit MemoryWindow(unsigned dpi = 96)
        : m_dpi(dpi)
        , m_form(&icatlas::ui::kForm1)
        , m_order(forms::tabOrder(icatlas::ui::kForm1.controls))
    {
        icatlas::ui::connectClickHandlers(m_form);
    }

    [[nodiscard]] bool opened() const { return !m_order.empty(); }

    [[nodiscard]] std::optional<Place> place(std::string_view name) const
    {
        const auto controls = icatlas::ui::kForm1.controls;
        const auto at = forms::controlIndex(controls, name);
        if (!at) {
            return std::nullopt;
        }
        const auto container = forms::containers(controls)[*at];
        const forms::ControlDefinition &control = controls[*at];
        const auto px = [this](forms::Twips twips) { return forms::twipsToPixels(twips, m_dpi); };
        return Place {px(control.left), px(control.top), px(control.width), px(control.height),
                      container ? std::string(controls[*container].name) : std::string()};
    }

    [[nodiscard]] std::string text(std::string_view name)
    {
        if (forms::Control *control = m_form.findControl(name)) {
            return dynamic_cast<forms::TextBox &>(*control).text();
        }
        const auto at = forms::controlIndex(icatlas::ui::kForm1.controls, name);
        return at ? std::string(icatlas::ui::kForm1.controls[*at].text) : "(gone)";
    }

    void click(std::string_view button) { m_form.click(std::string(button)); }
    void type(std::string_view box, std::string_view text)
    {
        m_form.box(std::string(box)).type(text);
    }

    void focus(std::string_view name)
    {
        const auto found = std::find_if(m_order.begin(), m_order.end(), [name](std::size_t i) {
            return icatlas::ui::kForm1.controls[i].name == name;
        });
        m_focus = static_cast<std::size_t>(found - m_order.begin()) % m_order.size();
    }

    [[nodiscard]] std::string focused() const { return std::string(focusedControl().name); }

    void tab(bool back) { m_focus = (m_focus + (back ? m_order.size() - 1 : 1)) % m_order.size(); }

    bool press(const KeyCase &row)
    {
        if (row.key == TestKey::Space) {
            if (focusedControl().kind == forms::ControlKind::CommandButton && !row.shift
                && !row.control) {
                click(focused());
            }
            return false;
        }
        const forms::Key key = row.key == TestKey::Escape ? forms::Key::Escape
            : row.key == TestKey::Q                       ? forms::Key::Q
            : row.key == TestKey::W                       ? forms::Key::W
                                                          : forms::Key::Enter;
        const auto modifiers
            = static_cast<std::uint8_t>((row.shift ? forms::kShift : forms::kNoModifier)
                                        | (row.control ? forms::kControl : forms::kNoModifier));
        // No find row here: it stays closed.
        const auto action
            = forms::keyAction({key, modifiers}, forms::focusOn(&focusedControl()), false);
        if (action == forms::KeyAction::PressFocusedButton) {
            click(focused());
        }
        return action == forms::KeyAction::Close;
    }

    void refuse(std::string_view box, bool gone)
    {
        if (gone) {
            m_form.remove(std::string(box));
        } else {
            m_form.box(std::string(box)).keepAtMost(0);
        }
    }

    // The form has no untrapped-error path of its own: the error leaves the click as it would
    // leave the handler.
    std::string clickReported(std::string_view button)
    {
        try {
            click(button);
        } catch (const forms::RunTimeError &error) {
            return error.what();
        }
        return {};
    }

    [[nodiscard]] int heldReferences() const { return m_form.heldReferences(); }

private:
    [[nodiscard]] const forms::ControlDefinition &focusedControl() const
    {
        return icatlas::ui::kForm1.controls[m_order[m_focus]];
    }

    unsigned m_dpi;
    MemoryForm m_form;
    std::vector<std::size_t> m_order;
    std::size_t m_focus = 0;
};

} // namespace testing_support
