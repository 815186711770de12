// SPDX-License-Identifier: MIT
// The definition's fixed text colours as drawn on the palette in force: each worked out from what
// it is drawn on with readableOn, and again whenever the palette or the style changes (a desktop
// switching from a light scheme to a dark one while the window is open).
#pragma once

#include "forms/core/definition.hpp"

class QGroupBox;
class QWidget;

namespace forms {

// A frame whose caption is drawn in `colour` made readable on the frame's background, under any
// style, worked out anew each time the caption is drawn.
[[nodiscard]] QGroupBox *createCaptionColouredFrame(QWidget *parent, Rgb colour);

// Gives a label or a text box its fixed text colour, and a text box a border that stands out on a
// dark palette, now and after every palette or style change. Frames colour their own captions.
void keepColoursReadable(QWidget *widget, const ControlDefinition &control);

} // namespace forms
