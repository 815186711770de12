// SPDX-License-Identifier: MIT
// A control's widget as its definition describes it, placed, coloured and filled; the pictures a
// form shows and the program's icon, read from the form's registered resources.
#pragma once

#include "forms/core/definition.hpp"
#include "forms/core/scaling.hpp"

#include <QFont>
#include <QIcon>
#include <QPoint>
#include <QResource>
#include <QString>

#include <memory>
#include <span>
#include <string_view>

class QWidget;

namespace forms {

// The installed face drawn in place of a face this machine lacks (the face itself if none).
[[nodiscard]] std::string_view substituteFace(std::string_view face);

// A definition's font as Qt draws it, with its face substituted, its size times `scale`.
[[nodiscard]] QFont toQFont(const Font &font, qreal scale = 1.0);

[[nodiscard]] QString toQString(std::string_view text);

// The room QLineEdit leaves on either side between its contents' edge and its text, in pixels:
// where the text of a box begins and how much of it shows.
inline constexpr int kLineEditMargin = 2;

// The control's widget, made in `parent` and placed at `logicalDpi`, with its font (where it
// differs from the parent's), text colour, content, accessible name and focus policy.
[[nodiscard]] QWidget *createControlWidget(const ControlDefinition &control, QWidget *parent,
                                           qreal logicalDpi);

// Gives a text box, and a control of a fixed text colour, the text colour it is drawn in: the
// fixed one, or a box's from the theme, as it reads on what it is drawn on (readableOn); and an
// empty box on a dark palette a border that stands out. Called again as the palette changes.
void keepReadable(QWidget *widget, const ControlDefinition &control);

// Places the control's widget at `scale` times its designed place and `offset` further (the form's
// spare room shared about it), in its font at that scale, a picture's drawn at that scale too.
void placeControl(QWidget *widget, const ControlDefinition &control, qreal logicalDpi, qreal scale,
                  QPoint offset);

// An icon of the pictures at these paths, one per size, each read in the format its name ends
// with; a picture that cannot be read is left out (none readable: a null icon).
[[nodiscard]] QIcon iconFromPictures(std::span<const std::string_view> paths);

struct UnregisterResources {
    void operator()(const unsigned char *bundle) const { QResource::unregisterResource(bundle); }
};
// Keeps a bundle of resources registered for as long as it lives, so that its ":/" paths resolve
// while a form needs them and nothing stays registered after the last form is gone; null when
// nothing was registered.
using RegisteredResources = std::unique_ptr<const unsigned char, UnregisterResources>;
[[nodiscard]] inline RegisteredResources registerResources(const unsigned char *bundle)
{
    return RegisteredResources(bundle != nullptr && QResource::registerResource(bundle) ? bundle
                                                                                        : nullptr);
}

} // namespace forms
