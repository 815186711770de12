// SPDX-License-Identifier: MIT
// Prints where the main window's model buttons and text boxes lie, in pixels from the window's
// top-left corner at 96 DPI, so a script driving the real program from outside (xdotool under
// Xvfb) can click them. One tab-separated line each:
//   caption <window caption>
//   button  <name> <model> <x> <y>
//   box     <name> <x> <y>
#include "catalogue/catalogue.hpp"
#include "forms/qt/qt_form.hpp"
#include "ui/main_window.hpp"

#include <cstdio>
#include <string>

int main()
{
    using forms::ControlKind;
    const auto px = [](forms::Twips twips) { return forms::twipsToPixels(twips, 96.0); };
    const forms::FormDefinition &form = icatlas::ui::kForm1;
    std::printf("caption\t%.*s\n", static_cast<int>(form.caption.size()), form.caption.data());
    for (const forms::ControlDefinition &control : form.controls) {
        if (control.kind != ControlKind::CommandButton && control.kind != ControlKind::TextBox) {
            continue;
        }
        int x = px(control.left) + px(control.width) / 2;
        int y = px(control.top) + px(control.height) / 2;
        if (!control.container.empty()) {
            const forms::ControlDefinition *frame
                = forms::findDefinition(form.controls, control.container);
            if (frame == nullptr) {
                std::fprintf(stderr, "no container %s\n", std::string(control.container).c_str());
                return 1;
            }
            x += px(frame->left);
            y += px(frame->top);
        }
        const std::string name(control.name);
        if (control.kind == ControlKind::TextBox) {
            std::printf("box\t%s\t%d\t%d\n", name.c_str(), x, y);
            continue;
        }
        const icatlas::ModelRecord *record = icatlas::ComponentCatalogue::findByButton(name);
        if (record == nullptr) {
            std::fprintf(stderr, "no model for %s\n", name.c_str());
            return 1;
        }
        std::printf("button\t%s\t%s\t%d\t%d\n", name.c_str(), std::string(record->model).c_str(), x,
                    y);
    }
    return 0;
}
