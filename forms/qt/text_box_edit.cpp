// SPDX-License-Identifier: MIT
// A text box's tooltip, and the painting of a box that holds a very long text.
#include "forms/qt/text_box_edit.hpp"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace forms {

namespace {

// More characters than the widest box shows: the first one shown is never further than this
// before the cursor, and twice as many are painted from it.
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

TextBoxEdit::TextBoxEdit(QWidget *parent)
    : QLineEdit(parent)
{
    QObject::connect(this, &QLineEdit::textChanged, this, &TextBoxEdit::updateTip);
}

bool TextBoxEdit::event(QEvent *event)
{
    const bool handled = QLineEdit::event(event);
    const QEvent::Type type = event->type();
    if (type == QEvent::Resize || type == QEvent::FontChange || type == QEvent::StyleChange) {
        updateTip();
    }
    return handled;
}

QRect TextBoxEdit::textArea() const
{
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &frame, this)
        .marginsRemoved(textMargins())
        .adjusted(kLineEditMargin, 0, -kLineEditMargin, 0);
}

void TextBoxEdit::updateTip()
{
    const QString whole = text();
    if (whole.size() > kLongTextLength) {
        // Far wider than any box, so cut off without measuring it (shaping a pasted megabyte
        // takes seconds), and a tooltip is no place for megabytes: it shows the beginning.
        constexpr qsizetype kLongTipLength = 1'000;
        setToolTip(whole.left(kLongTipLength) + QChar(0x2026));
        return;
    }
    const bool cutOff
        = !whole.isEmpty() && fontMetrics().horizontalAdvance(whole) > textArea().width();
    const QString tip = cutOff ? whole : QString();
    if (toolTip() != tip) {
        setToolTip(tip);
    }
}

void TextBoxEdit::paintEvent(QPaintEvent *event)
{
    if (text().size() <= kLongTextLength) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect area = textArea();
    painter.setClipRect(area);

    // The first character shown: where it was, moved back to a cursor left of it, or forward as
    // far as the text before the cursor needs to fit, but never more than kPaintedAround before
    // the cursor.
    const QString whole = text();
    const QFontMetrics metrics = fontMetrics();
    const qsizetype cursor = cursorPosition();
    qsizetype fits = cursor; // the text from here to the cursor fits in the box
    for (int width = 0; fits > 0 && cursor - fits < kPaintedAround;) {
        const qsizetype from = characterStart(whole, fits - 1);
        width += metrics.horizontalAdvance(whole.mid(from, fits - from));
        if (width >= area.width()) {
            break;
        }
        fits = from;
    }
    m_firstShown = std::clamp(m_firstShown, fits, cursor);
    const qsizetype from = m_firstShown;
    const qsizetype to = characterStart(whole, std::min(whole.size(), from + 2 * kPaintedAround));
    const QString slice = whole.mid(from, to - from);
    const auto xOf = [&](qsizetype position) {
        return metrics.horizontalAdvance(
            slice.left(std::clamp(position - from, qsizetype(0), slice.size())));
    };
    const int left = area.left();
    const int baseline = area.top() + (area.height() - metrics.height() + 1) / 2 + metrics.ascent();

    const QPalette &colours = palette();
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(left, baseline, slice);

    const qsizetype start = selectionStart();
    const qsizetype end = selectionEnd();
    if (hasSelectedText() && end > from && start < to) {
        const QRect selected(left + xOf(start), area.top(), xOf(end) - xOf(start), area.height());
        painter.fillRect(selected, colours.brush(QPalette::Highlight));
        painter.save();
        painter.setClipRect(selected.intersected(area));
        painter.setPen(colours.color(QPalette::HighlightedText));
        painter.drawText(left, baseline, slice);
        painter.restore();
    }
    if (hasFocus() && !isReadOnly()) {
        const int x = left + xOf(cursor);
        const int cursorWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this);
        painter.fillRect(QRect(x, area.top() + (area.height() - metrics.height()) / 2,
                               std::max(1, cursorWidth), metrics.height()),
                         colours.color(QPalette::Text));
    }
}

} // namespace forms
