// SPDX-License-Identifier: MIT
// A control's widget as its definition describes it: the widget of its kind, its place in pixels,
// its font, its text colour on what it is drawn on, its content and what a screen reader calls it.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/scaling.hpp"

#include <QFont>
#include <QString>

#include <string_view>

class QWidget;

namespace forms {

// The installed face drawn in place of a face this machine lacks (the face itself if none).
[[nodiscard]] std::string_view substituteFace(std::string_view face);

// A definition's font as Qt draws it, with its face substituted, its size times `scale`.
[[nodiscard]] QFont toQFont(const Font &font, qreal scale = 1.0);

[[nodiscard]] QString toQString(std::string_view text);

// The control's widget, made in `parent` and placed at `logicalDpi`, with its font (where it
// differs from the parent's), text colour, content, accessible name and focus policy.
[[nodiscard]] QWidget *createControlWidget(const ControlDefinition &control, QWidget *parent,
                                           qreal logicalDpi);

} // namespace forms
