// SPDX-License-Identifier: MIT
// A project description: what the runtime needs to start a program, naming its start-up form and
// the code that wires the form's events to the program's handlers.
#pragma once

#include "forms/core/definition.hpp"

#include <span>
#include <string_view>

namespace forms {

class Form;

struct ProjectDescription {
    std::string_view name; // the program's name, as in its messages
    std::string_view version; // as the user sees it
    std::string_view desktopFileName; // how desktops match its window to its desktop entry
    const FormDefinition *startupForm = nullptr;
    void (*connectEvents)(Form &form) = nullptr; // binds the start-up form's events
    // The window icon: pictures in the start-up form's resources, one per size. Taken from the
    // program itself, so showing it needs no search of the installed icon themes. Empty: none.
    std::span<const std::string_view> icon;
};

} // namespace forms
