// SPDX-License-Identifier: MIT
// The pictures a form shows and the program's icon: read from the form's registered resources in
// the format their names end with, at the screen's density and at the window's scale.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <span>
#include <string_view>

namespace forms {

// A picture at its natural size; on a denser screen the "@2x" variant beside it, when there is one,
// so it stays sharp.
[[nodiscard]] QPixmap loadPicture(const QString &path, qreal devicePixelRatio);

// The picture enlarged by `scale` (a window grown beyond its designed size), drawn from the
// variant that suits the enlarged size.
[[nodiscard]] QPixmap scaledPicture(const QString &path, qreal devicePixelRatio, qreal scale);

// An icon of the pictures at these paths, one per size, each read in the format its name ends
// with; a picture that cannot be read is left out (none readable: a null icon).
[[nodiscard]] QIcon iconFromPictures(std::span<const std::string_view> paths);

// Keeps a bundle of resources registered for as long as it lives, so that its ":/" paths resolve
// while a form needs them and nothing stays registered after the last form is gone.
class RegisteredResources {
public:
    explicit RegisteredResources(const unsigned char *bundle);
    ~RegisteredResources();
    RegisteredResources(const RegisteredResources &) = delete;
    RegisteredResources &operator=(const RegisteredResources &) = delete;

private:
    const unsigned char *m_bundle = nullptr; // null when nothing was registered
};

} // namespace forms
