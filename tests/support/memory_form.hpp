// SPDX-License-Identifier: MIT
// An in-memory form for tests: text boxes that remember every write and keep the core's write
// contract, and a box can be told to keep only part of what it is given, or be taken away, so the
// failure paths run for real. Made from a definition, it knows which
// controls are buttons, as a real form does.
#pragma once

#include "forms/core/controls.hpp"
#include "forms/core/definition.hpp"
#include "forms/core/form.hpp"

#include <cstddef>
#include <functional>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class MemoryForm;

struct Write {
    std::string box;
    std::string text;
    int heldDuringWrite = 0; // references the form held while the box was written

    friend bool operator==(const Write &, const Write &) = default;
};

class MemoryTextBox final : public forms::CheckedTextBox {
public:
    MemoryTextBox(MemoryForm &form, std::string name)
        : forms::CheckedTextBox(std::move(name))
        , m_form(form)
    {
    }

    [[nodiscard]] forms::ResultCode setText(std::string_view text) override;

    // The user types: replaces the text without going through the runtime.
    void type(std::string_view text) { m_text = text; }
    // From now on the box keeps only the first `characters` of what it is given, as a box with a
    // length limit does.
    void keepAtMost(std::size_t characters) { m_limit = characters; }

protected:
    [[nodiscard]] bool present() const override { return true; }
    [[nodiscard]] std::string rawText() const override { return m_text; }
    void setRawText(std::string_view text) override { m_text = text.substr(0, m_limit); }
    void showBeginning() override { }

private:
    MemoryForm &m_form;
    std::string m_text;
    std::size_t m_limit = std::string::npos;
};

class MemoryForm final : public forms::Form {
public:
    // A form with text boxes of these names, each starting with its initial text.
    explicit MemoryForm(const std::vector<std::pair<std::string, std::string>> &boxes)
    {
        for (const auto &[name, text] : boxes) {
            auto box = std::make_unique<MemoryTextBox>(*this, name);
            box->type(text);
            m_boxes.emplace(name, std::move(box));
        }
    }

    // A form with a box for each text box of the definition, holding its initial text; only its
    // buttons can be clicked.
    explicit MemoryForm(const forms::FormDefinition *definition)
        : m_definition(definition)
    {
        for (const forms::ControlDefinition &control : definition->controls) {
            if (control.kind == forms::ControlKind::TextBox) {
                auto box = std::make_unique<MemoryTextBox>(*this, std::string(control.name));
                box->type(control.text);
                m_boxes.emplace(control.name, std::move(box));
            }
        }
    }

    [[nodiscard]] std::string_view name() const override
    {
        return m_definition != nullptr ? m_definition->name : "MemoryForm";
    }

    [[nodiscard]] forms::Control *findControl(std::string_view name) override
    {
        const auto found = m_boxes.find(std::string(name));
        return found != m_boxes.end() ? found->second.get() : nullptr;
    }

    bool onClick(std::string_view control, std::function<void()> handler) override
    {
        if (m_definition != nullptr
            && !forms::controlIndex(m_definition->controls, control,
                                    forms::ControlKind::CommandButton)) {
            return false;
        }
        m_handlers[std::string(control)] = std::move(handler);
        return true;
    }

    // Runs the handler bound to a control, as a click would; false when none is bound.
    bool click(const std::string &control)
    {
        const auto found = m_handlers.find(control);
        if (found == m_handlers.end()) {
            return false;
        }
        found->second();
        return true;
    }

    [[nodiscard]] MemoryTextBox &box(const std::string &name) { return *m_boxes.at(name); }
    void remove(const std::string &name) { m_boxes.erase(name); }
    [[nodiscard]] const std::vector<Write> &writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }

private:
    friend class MemoryTextBox;
    const forms::FormDefinition *m_definition = nullptr;
    std::map<std::string, std::unique_ptr<MemoryTextBox>> m_boxes;
    std::map<std::string, std::function<void()>> m_handlers;
    std::vector<Write> m_writes;
};

inline forms::ResultCode MemoryTextBox::setText(std::string_view text)
{
    m_form.m_writes.push_back({name(), std::string(text), m_form.heldReferences()});
    return CheckedTextBox::setText(text);
}

} // namespace testing_support
