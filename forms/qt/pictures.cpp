// SPDX-License-Identifier: MIT
// Reading a form's pictures and the program's icon.
#include "forms/qt/pictures.hpp"

#include "forms/qt/widgets.hpp"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmapCache>
#include <QResource>

#include <cmath>
#include <utility>

namespace forms {

namespace {

// Reads a picture in the format its name ends with. Naming the format and turning detection off
// keeps Qt from loading every image-format plugin to ask each whether it reads the file. Pictures
// from resources never change, so each is decoded once and then taken from Qt's pixmap cache.
QPixmap readPicture(const QString &path)
{
    const bool resource = path.startsWith(QLatin1String(":/"));
    const QString key = QLatin1String("forms:") + path;
    QPixmap pixmap;
    if (resource && QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    QImageReader reader(path);
    reader.setAutoDetectImageFormat(false);
    reader.setFormat(path.mid(path.lastIndexOf(QLatin1Char('.')) + 1).toLatin1());
    QImage image = reader.read();
    if (image.isNull()) {
        // A name whose ending is not its format: let Qt find out.
        return {path};
    }
    pixmap = QPixmap::fromImage(std::move(image));
    if (resource) {
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

} // namespace

QPixmap loadPicture(const QString &path, qreal devicePixelRatio)
{
    for (int factor = static_cast<int>(std::ceil(devicePixelRatio)); factor >= 2; --factor) {
        const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
        const QString variant = path.left(dot) + QStringLiteral("@%1x").arg(factor) + path.mid(dot);
        if (!QFile::exists(variant)) {
            continue;
        }
        QPixmap pixmap = readPicture(variant);
        if (!pixmap.isNull()) {
            pixmap.setDevicePixelRatio(factor);
            return pixmap;
        }
    }
    return readPicture(path);
}

QPixmap scaledPicture(const QString &path, qreal devicePixelRatio, qreal scale)
{
    QPixmap pixmap = loadPicture(path, devicePixelRatio * scale);
    const QSize natural = pixmap.deviceIndependentSize().toSize();
    const qreal ratio = pixmap.devicePixelRatio();
    pixmap
        = pixmap.scaled(natural * scale * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon iconFromPictures(std::span<const std::string_view> paths)
{
    QIcon icon;
    for (const std::string_view path : paths) {
        const QPixmap picture = readPicture(toQString(path));
        if (!picture.isNull()) {
            icon.addPixmap(picture);
        }
    }
    return icon;
}

RegisteredResources::RegisteredResources(const unsigned char *bundle)
    : m_bundle(bundle != nullptr && QResource::registerResource(bundle) ? bundle : nullptr)
{
}

RegisteredResources::~RegisteredResources()
{
    if (m_bundle != nullptr) {
        QResource::unregisterResource(m_bundle);
    }
}

} // namespace forms
