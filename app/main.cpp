// SPDX-License-Identifier: MIT
// The program's entry: hands the project, whose start-up form is the main window, to the forms
// runtime, which answers --help and --version and passes Qt's own options to Qt.
#include "forms/start/runtime.hpp"
#include "ui/main_window.hpp"

int main(int argc, char *argv[])
{
    return forms::runProject(icatlas::ui::kProject, argc, argv);
}
