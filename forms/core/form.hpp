// SPDX-License-Identifier: MIT
// The forms runtime's view of a window: controls by name, counted references to them, and the
// one contract of a box's write. Toolkit-free, so it drives a real window and an in-memory one.
#pragma once

#include "forms/core/result.hpp"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace forms {

class FindRow;

class Control {
public:
    explicit Control(std::string name)
        : m_name(std::move(name))
    {
    }
    virtual ~Control() = default;
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;
    Control(Control &&) = delete;
    Control &operator=(Control &&) = delete;

    [[nodiscard]] const std::string &name() const noexcept { return m_name; }

private:
    std::string m_name;
};

class TextBox : public Control {
public:
    using Control::Control;

    // Replaces the box's whole text. Fails when the box does not end up holding exactly `text`.
    [[nodiscard]] virtual ResultCode setText(std::string_view text) = 0;
    [[nodiscard]] virtual std::string text() const = 0;
};

// A text box over a toolkit's edit, whose writes all keep one contract: a box that is gone fails
// with ObjectRequired; a box that holds the text already is not written again; the box shows the
// text's beginning with nothing selected, as a box just filled should; and only the exact text read
// back counts as written (the box may refuse or alter it: a length limit, a validator). A
// realisation supplies the raw operations.
class CheckedTextBox : public TextBox {
public:
    using TextBox::TextBox;

    [[nodiscard]] ResultCode setText(std::string_view text) override
    {
        if (!present()) {
            return ResultCode::ObjectRequired;
        }
        if (rawText() != text) {
            setRawText(text);
        }
        showBeginning();
        return rawText() == text ? ResultCode::Ok : ResultCode::InvalidPropertyValue;
    }

    [[nodiscard]] std::string text() const override
    {
        return present() ? rawText() : std::string();
    }

protected:
    // The edit still exists.
    [[nodiscard]] virtual bool present() const = 0;
    // The edit's text as it stands, in UTF-8.
    [[nodiscard]] virtual std::string rawText() const = 0;
    virtual void setRawText(std::string_view text) = 0;
    // Scrolled to the text's beginning, the cursor there and nothing selected.
    virtual void showBeginning() = 0;
};

struct Release;

// A counted reference to a form or one of its controls: taken when made, released when
// destroyed, so a reference is released on every path out of the scope that took it; empty, and
// holding nothing, where there is nothing to refer to.
template <class T> using Counted = std::unique_ptr<T, Release>;

class Form {
public:
    Form() = default;
    virtual ~Form() = default;
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;
    Form(Form &&) = delete;
    Form &operator=(Form &&) = delete;

    [[nodiscard]] virtual std::string_view name() const = 0;

    // The control of that name, or nothing when the form has none (or it is gone).
    [[nodiscard]] virtual Control *findControl(std::string_view name) = 0;

    // Delivers every click on the named control to `handler`. Returns false when the form has
    // no control of that name that can be clicked.
    virtual bool onClick(std::string_view control, std::function<void()> handler) = 0;

    // Tells someone who listens through assistive technology `message`, leaving the keyboard
    // focus where it is. A form that nobody can hear that way has nothing to do.
    virtual void announce(std::string_view /*message*/) { }

    // The window's find row (find_row.hpp), or nothing on a form that has none.
    [[nodiscard]] virtual FindRow *findRow() { return nullptr; }

    // Counted references held now to the form and its controls.
    [[nodiscard]] int heldReferences() const noexcept { return m_held; }

    // A counted reference to the named text box; empty when there is no such text box.
    [[nodiscard]] Counted<TextBox> takeTextBox(std::string_view name);

private:
    friend struct Release;
    friend Counted<Form> takeForm(Form &form);

    template <class T> [[nodiscard]] Counted<T> take(T *object);

    int m_held = 0;
};

// Gives a counted reference back to the form it was taken from.
struct Release {
    Form *form = nullptr;

    void operator()(const void * /*object*/) const noexcept { --form->m_held; }
};

template <class T> Counted<T> Form::take(T *object)
{
    if (object != nullptr) {
        ++m_held;
    }
    return Counted<T>(object, Release {this});
}

inline Counted<TextBox> Form::takeTextBox(std::string_view name)
{
    return take(dynamic_cast<TextBox *>(findControl(name)));
}

// A counted reference to the form itself.
[[nodiscard]] inline Counted<Form> takeForm(Form &form)
{
    return form.take(&form);
}

} // namespace forms
