// SPDX-License-Identifier: MIT
// The frame's own border in the Fusion look (see frame.hpp).
#include "forms/qt/frame.hpp"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <array>

namespace forms {

namespace {

// Fusion's border is a picture cut in nine: corners of this size drawn as they are, edges and
// middle stretched between them.
constexpr int cornerSize = 6;
// Fusion's space above the border: below the caption, or from the top without one.
constexpr int gapAboveBorder = 3;

// The border's pixels by their distance from the two nearest outer edges, 0 being a clear line
// on the outside: a grey line, a faint shadow inside it, and a fainter fill.
QRgb edgePixel(int across, int along)
{
    const int depth = std::min(across, along);
    if (depth == 0) {
        return qRgba(255, 255, 255, 0);
    }
    if (depth == 1) {
        return qRgba(0x75, 0x75, 0x75, 0x32);
    }
    return qRgba(0, 0, 0, depth == 2 ? 0x07 : 0x03);
}

struct CornerPixel {
    int x;
    int y;
    QRgb colour;
};

// The rounding of a corner, by distance from its two edges. The top-left and bottom-right corners
// are lit alike, as are the other two, and the pairs differ only at their outermost four pixels.
constexpr std::array sharedCorner {
    CornerPixel {3, 1, 0x346c6c6cU}, CornerPixel {1, 3, 0x346c6c6cU},
    CornerPixel {3, 2, 0x0a000000U}, CornerPixel {4, 2, 0x08000000U},
    CornerPixel {2, 3, 0x09000000U}, CornerPixel {2, 4, 0x08000000U},
};
constexpr std::array litCorner {
    CornerPixel {1, 1, 0x0d272727U},
    CornerPixel {2, 1, 0x345d5d5dU},
    CornerPixel {1, 2, 0x39626262U},
    CornerPixel {2, 2, 0x1f5a5a5aU},
};
constexpr std::array shadedCorner {
    CornerPixel {1, 1, 0x0c151515U},
    CornerPixel {2, 1, 0x37666666U},
    CornerPixel {1, 2, 0x355b5b5bU},
    CornerPixel {2, 2, 0x1e5e5e5eU},
};

// The nine-part picture at Fusion's size: Qt blends a stretched part with a rounding that depends
// on how far it is stretched, so a smaller middle would shade the inner lines one level apart.
QPixmap borderPicture()
{
    constexpr int width = 98;
    constexpr int height = 38;
    QPixmap picture;
    static const QString key = QStringLiteral("icatlas-frame-border");
    if (QPixmapCache::find(key, &picture)) {
        return picture;
    }
    QImage image(width, height, QImage::Format_ARGB32);
    // Fusion's picture has its clear line on the top and left only: the right and bottom edges
    // end on the grey line.
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] = edgePixel(std::min(x, width - x), std::min(y, height - y));
        }
    }
    for (const CornerPixel &pixel : sharedCorner) {
        image.setPixel(pixel.x, pixel.y, pixel.colour);
        image.setPixel(width - pixel.x, pixel.y, pixel.colour);
        image.setPixel(pixel.x, height - pixel.y, pixel.colour);
        image.setPixel(width - pixel.x, height - pixel.y, pixel.colour);
    }
    for (const CornerPixel &pixel : litCorner) {
        image.setPixel(pixel.x, pixel.y, pixel.colour);
        image.setPixel(width - pixel.x, height - pixel.y, pixel.colour);
    }
    for (const CornerPixel &pixel : shadedCorner) {
        image.setPixel(width - pixel.x, pixel.y, pixel.colour);
        image.setPixel(pixel.x, height - pixel.y, pixel.colour);
    }
    picture = QPixmap::fromImage(image);
    QPixmapCache::insert(key, picture);
    return picture;
}

// The picture drawn in nine parts as Fusion draws it, save the middle: a faint shade all of one
// colour, filled rather than stretched from the picture, which gives the same pixels for a fraction
// of the work.
void drawBorder(QPainter &painter, const QRect &target)
{
    const QPixmap picture = borderPicture();
    const int sourceMiddleWidth = picture.width() - 2 * cornerSize;
    const int sourceMiddleHeight = picture.height() - 2 * cornerSize;
    const int middleWidth = target.width() - 2 * cornerSize;
    const int middleHeight = target.height() - 2 * cornerSize;
    const int left = target.left();
    const int top = target.top();
    const int middleLeft = left + cornerSize;
    const int middleTop = top + cornerSize;
    const int right = target.right() + 1 - cornerSize;
    const int bottom = target.bottom() + 1 - cornerSize;
    const int sourceRight = picture.width() - cornerSize;
    const int sourceBottom = picture.height() - cornerSize;
    const QRect corner(0, 0, cornerSize, cornerSize);
    painter.drawPixmap(corner.translated(left, top), picture, corner);
    painter.drawPixmap(corner.translated(right, top), picture, corner.translated(sourceRight, 0));
    painter.drawPixmap(corner.translated(left, bottom), picture,
                       corner.translated(0, sourceBottom));
    painter.drawPixmap(corner.translated(right, bottom), picture,
                       corner.translated(sourceRight, sourceBottom));
    painter.drawPixmap(QRect(middleLeft, top, middleWidth, cornerSize), picture,
                       QRect(cornerSize, 0, sourceMiddleWidth, cornerSize));
    painter.drawPixmap(QRect(middleLeft, bottom, middleWidth, cornerSize), picture,
                       QRect(cornerSize, sourceBottom, sourceMiddleWidth, cornerSize));
    painter.drawPixmap(QRect(left, middleTop, cornerSize, middleHeight), picture,
                       QRect(0, cornerSize, cornerSize, sourceMiddleHeight));
    painter.drawPixmap(QRect(right, middleTop, cornerSize, middleHeight), picture,
                       QRect(sourceRight, cornerSize, cornerSize, sourceMiddleHeight));
    painter.fillRect(QRect(middleLeft, middleTop, middleWidth, middleHeight),
                     QColor::fromRgba(edgePixel(cornerSize, cornerSize)));
}

bool drawsFusion(const QStyle *style)
{
    return style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

} // namespace

Frame::Frame(QWidget *parent)
    : QGroupBox(parent)
{
}

void Frame::paintEvent(QPaintEvent *event)
{
    QStyle *const style = this->style();
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QRect border
        = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
    if (!title().isEmpty()) {
        border.setTop(border.top()
                      + std::max(style->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight),
                                 option.fontMetrics.height()));
    }
    border.setTop(border.top() + gapAboveBorder);
    // Fusion shrinks the corners of a frame too small for them; a form's frames never are.
    const bool tooSmall = border.width() < 2 * cornerSize || border.height() < 2 * cornerSize;
    if (!drawsFusion(style) || isFlat() || isCheckable() || tooSmall) {
        QGroupBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    // As Fusion draws its picture: the inner shade lines come out a level lighter this way.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawBorder(painter, border);
    // The style draws the rest: the caption, in the colour the option gives it.
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    style->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
}

} // namespace forms
