// SPDX-License-Identifier: MIT
// The program's entry: hands the project, whose start-up form is the main window, to the forms
// runtime. Arguments are ignored; the program takes none.
#include "forms/runtime.hpp"
#include "ui/main_window.hpp"

int main(int argc, char *argv[])
{
    return forms::runProject(icatlas::ui::kProject, argc > 0 ? argv[0] : "icatlas");
}
