// SPDX-License-Identifier: MIT
// Painting of a text box that holds a very long text (see text_box_edit.hpp).
#include "forms/text_box_edit.hpp"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace forms {

namespace {

// How many characters either side of the cursor are painted: more than the widest box shows.
constexpr qsizetype kPaintedAround = 400;

// `position` moved back off the second half of a surrogate pair, so a slice never splits one.
qsizetype characterStart(const QString &text, qsizetype position)
{
    if (position > 0 && position < text.size() && text.at(position).isLowSurrogate()) {
        return position - 1;
    }
    return position;
}

} // namespace

void TextBoxEdit::paintEvent(QPaintEvent *event)
{
    if (text().size() <= kLongTextLength) {
        QLineEdit::paintEvent(event);
        return;
    }
    paintLongText();
}

void TextBoxEdit::paintLongText()
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    area = area.marginsRemoved(textMargins());
    constexpr int kHorizontalMargin = 2; // as the toolkit leaves between frame and text
    area.adjust(kHorizontalMargin, 0, -kHorizontalMargin, 0);
    painter.setClipRect(area);

    // The slice around the cursor, and where the cursor falls in it.
    const QString whole = text();
    const qsizetype cursor = cursorPosition();
    const qsizetype from = characterStart(whole, std::max<qsizetype>(0, cursor - kPaintedAround));
    const qsizetype to = characterStart(whole, std::min(whole.size(), cursor + kPaintedAround));
    const QString slice = whole.mid(from, to - from);
    const QFontMetrics metrics = fontMetrics();
    const auto xOf = [&](qsizetype position) {
        return metrics.horizontalAdvance(
            slice.left(std::clamp(position - from, qsizetype(0), slice.size())));
    };
    // Scrolled so that the cursor shows at the right edge when it is past it, as the toolkit does.
    const int cursorX = xOf(cursor);
    const int left = area.left() - std::max(0, cursorX - area.width() + 1);
    const int baseline = area.top() + (area.height() - metrics.height() + 1) / 2 + metrics.ascent();

    const QPalette &colours = palette();
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(left, baseline, slice);

    if (hasSelectedText()) {
        const qsizetype start = selectionStart();
        const qsizetype end = selectionEnd();
        if (end > from && start < to) {
            const QRect selected(left + xOf(start), area.top(), xOf(end) - xOf(start),
                                 area.height());
            painter.fillRect(selected, colours.brush(QPalette::Highlight));
            painter.save();
            painter.setClipRect(selected.intersected(area));
            painter.setPen(colours.color(QPalette::HighlightedText));
            painter.drawText(left, baseline, slice);
            painter.restore();
        }
    }
    if (hasFocus() && !isReadOnly()) {
        const int x = left + cursorX;
        const int cursorWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this);
        painter.fillRect(QRect(x, area.top() + (area.height() - metrics.height()) / 2,
                               std::max(1, cursorWidth), metrics.height()),
                         colours.color(QPalette::Text));
    }
}

} // namespace forms
