// SPDX-License-Identifier: MIT
// A control's widget, its colours and pictures (see widgets.hpp); and a text box's tooltip and its
// painting of a very long text.
#include "forms/qt/widgets.hpp"

#include "forms/core/contrast.hpp"
#include "forms/core/faces.hpp"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace forms {

std::string_view substituteFace(std::string_view face)
{
    // The first of Linux's substitutes is installed with the program (Liberation Sans keeps the
    // captions' widths); naming it also spares fontconfig a fallback search.
    const auto substitutes = substitutesFor(face, Platform::Linux);
    return substitutes.empty() ? face : substitutes.front();
}

QFont toQFont(const Font &font, qreal scale)
{
    QFont qfont(toQString(substituteFace(font.face)));
    qfont.setPointSizeF(font.points() * scale);
    qfont.setWeight(static_cast<QFont::Weight>(font.weight));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    // Fixed too, so that none of them comes from a desktop theme's font when this one is resolved
    // against it: a style name there would override the weight.
    qfont.setStrikeOut(false);
    qfont.setStyleName(QString());
    return qfont;
}

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

// The palette role a control of this kind draws its text in, and the one it is drawn on.
std::pair<QPalette::ColorRole, QPalette::ColorRole> textRoles(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
        return {QPalette::Text, QPalette::Base};
    case ControlKind::CommandButton:
        return {QPalette::ButtonText, QPalette::Button};
    default:
        return {QPalette::WindowText, QPalette::Window}; // labels, frames and pictures
    }
}

Rgb toRgb(const QColor &colour)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

QColor shownColour(Rgb defined, Rgb background)
{
    const Rgb shown = readableOn(defined, background);
    return {shown.red, shown.green, shown.blue};
}

// A frame whose caption has its own colour, given as it is drawn: a palette set on the frame would
// be handed down to every control in it, and the style, which caches buttons' pictures by palette,
// would draw and keep each button's picture anew instead of sharing one.
class CaptionColouredFrame final : public QGroupBox {
public:
    CaptionColouredFrame(QWidget *parent, Rgb colour)
        : QGroupBox(parent)
        , m_colour(colour)
    {
    }

protected:
    void initStyleOption(QStyleOptionGroupBox *option) const override
    {
        QGroupBox::initStyleOption(option);
        const QColor caption
            = shownColour(m_colour, toRgb(option->palette.color(QPalette::Window)));
        option->palette.setColor(QPalette::WindowText, caption);
        // Given outright too: styles derive the caption's colour from different roles (Fusion
        // from the window text, the Windows style from the text role).
        option->textColor = caption;
    }

private:
    Rgb m_colour;
};

// The colour the widget has from its container for a role, which its own palette may not have yet
// as the theme changes.
QColor inherited(const QWidget *widget, QPalette::ColorRole role)
{
    return widget->parentWidget()->palette().color(role); // every control has one
}

// The colour a role shows as behind the widget's text: one short of opaque lets the window's colour
// show through, and what the eye sees is the two mixed.
Rgb seenBehind(const QWidget *widget, QPalette::ColorRole role)
{
    const QColor colour = inherited(widget, role);
    return colour.alpha() == 255 || role == QPalette::Window
        ? toRgb(colour)
        : seenThrough(toRgb(colour), static_cast<std::uint8_t>(colour.alpha()),
                      toRgb(inherited(widget, QPalette::Window)));
}

// Texts longer than this are painted by TextBoxEdit itself: far more than a box shows, and short
// enough that the toolkit's painting of it costs well under a millisecond.
constexpr qsizetype kLongTextLength = 10'000;

// More characters than the widest box shows: the first one shown is never further than this
// before the cursor, and twice as many are painted from it.
constexpr qsizetype kPaintedAround = 400;

// `position` moved back off the second half of a surrogate pair, so a slice never splits one.
qsizetype characterStart(const QString &text, qsizetype position)
{
    return position > 0 && position < text.size() && text.at(position).isLowSurrogate()
        ? position - 1
        : position;
}

// The line edit behind a text box, with a tooltip for a text cut off by its edge. Qt shapes the
// whole text again on every repaint (a second or more for a pasted 8 MB), so a very long text is
// painted only around the cursor; the line edit keeps it whole, for copying and for the program.
class TextBoxEdit final : public QLineEdit {
public:
    explicit TextBoxEdit(QWidget *parent)
        : QLineEdit(parent)
    {
        QObject::connect(this, &QLineEdit::textChanged, this, &TextBoxEdit::updateTip);
    }

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QLineEdit::event(event);
        const QEvent::Type type = event->type();
        if (type == QEvent::Resize || type == QEvent::FontChange || type == QEvent::StyleChange) {
            updateTip();
        }
        return handled;
    }

    void paintEvent(QPaintEvent *event) override
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

        // The first character shown: where it was, moved back to a cursor left of it, or forward
        // as far as the text before the cursor needs, never more than kPaintedAround before it.
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
        const qsizetype to
            = characterStart(whole, std::min(whole.size(), from + 2 * kPaintedAround));
        const QString slice = whole.mid(from, to - from);
        const auto xOf = [&](qsizetype position) {
            return metrics.horizontalAdvance(
                slice.left(std::clamp(position - from, qsizetype(0), slice.size())));
        };
        const int left = area.left();
        const int baseline
            = area.top() + (area.height() - metrics.height() + 1) / 2 + metrics.ascent();

        const QPalette &colours = palette();
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(left, baseline, slice);

        const qsizetype start = selectionStart();
        const qsizetype end = selectionEnd();
        if (hasSelectedText() && end > from && start < to) {
            const QRect selected(left + xOf(start), area.top(), xOf(end) - xOf(start),
                                 area.height());
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

private:
    // The room the box shows text in, as QLineEdit lays text out: inside the frame, the text
    // margins and its own margin on each side.
    [[nodiscard]] QRect textArea() const
    {
        QStyleOptionFrame frame;
        initStyleOption(&frame);
        return style()
            ->subElementRect(QStyle::SE_LineEditContents, &frame, this)
            .marginsRemoved(textMargins())
            .adjusted(kLineEditMargin, 0, -kLineEditMargin, 0);
    }

    // The whole text as the tooltip when it is wider than textArea, none when it fits.
    void updateTip()
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

    // The first character shown of a long text, moved only as far as the cursor needs to stay in
    // view, so the text does not jump as the cursor moves.
    qsizetype m_firstShown = 0;
};

// An access key would appear where a caption holds '&'; captions are shown as they stand.
QString literalCaption(std::string_view text)
{
    return toQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

// Reads a picture in the format its name ends with: Qt then asks no image-format plugin whether it
// reads the file, and keeps what it decodes in its pixmap cache. A name whose ending is not its
// format is left to Qt to find out.
QPixmap readPicture(const QString &path)
{
    const QByteArray format = path.mid(path.lastIndexOf(QLatin1Char('.')) + 1).toLatin1();
    const QPixmap pixmap(path, format.constData());
    return pixmap.isNull() ? QPixmap(path) : pixmap;
}

// The picture at its natural size times `scale`, drawn from the variant that suits that size on the
// screen's density ("banner@2x.bmp" beside "banner.bmp" on a doubled screen), so it stays sharp.
QPixmap scaledPicture(const QString &path, qreal devicePixelRatio, qreal scale)
{
    QPixmap pixmap;
    for (int factor = static_cast<int>(std::ceil(devicePixelRatio * scale));
         factor >= 2 && pixmap.isNull(); --factor) {
        const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
        const QString variant = path.left(dot) + QStringLiteral("@%1x").arg(factor) + path.mid(dot);
        pixmap = readPicture(variant); // null where there is no such variant
        pixmap.setDevicePixelRatio(factor);
    }
    if (pixmap.isNull()) {
        pixmap = readPicture(path);
    }
    // At scale 1 the picture comes back as it is.
    const qreal ratio = pixmap.devicePixelRatio();
    pixmap = pixmap.scaled(pixmap.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

void placeControl(QWidget *widget, const ControlDefinition &control, qreal logicalDpi, qreal scale,
                  QPoint offset)
{
    const auto px
        = [logicalDpi, scale](Twips twips) { return twipsToPixels(twips, logicalDpi, scale); };
    widget->setGeometry(QRect(QPoint(px(control.left), px(control.top)) + offset,
                              QSize(px(control.width), px(control.height))));
    if (!control.font.face.empty()) {
        // Set only where it differs from its container's (the form's or a frame's), or was set
        // before: a font set on a widget is resolved and matched anew, one inherited is shared.
        QFont font = toQFont(control.font, scale);
        if (widget->testAttribute(Qt::WA_SetFont) || font != widget->parentWidget()->font()) {
            widget->setFont(font);
        }
    }
    if (control.kind == ControlKind::Picture) {
        static_cast<QLabel *>(widget)->setPixmap(
            scaledPicture(toQString(control.picture), widget->devicePixelRatioF(), scale));
    }
}

void keepReadable(QWidget *widget, const ControlDefinition &control)
{
    const bool box = control.kind == ControlKind::TextBox;
    if (!box && (!control.colour || control.kind == ControlKind::Frame)) {
        return; // in the theme's own colours, or a frame, which colours its caption as drawn
    }
    if (box) {
        // On a dark palette the style draws a box's frame in a shade next to the box's own, so an
        // empty box would vanish: there it gets a border that stands out.
        const Rgb base = seenBehind(widget, QPalette::Base);
        const QString sheet = isDark(base) ? QStringLiteral("QLineEdit { border: 1px solid %1; }")
                                                 .arg(shownColour({128, 128, 128}, base).name())
                                           : QString();
        if (widget->styleSheet() != sheet) {
            widget->setStyleSheet(sheet);
            // A style sheet keeps the palette the widget had when it was set, and puts it back as
            // the widget's own when it goes, theme and all: the theme's colours are dropped.
            widget->setPalette(QPalette());
        }
    }
    // A box in the theme's own text colour keeps it unless it cannot be read on the box (a theme
    // whose boxes have their text's colour); then it takes the nearest shade that can.
    const auto [text, background] = textRoles(control.kind);
    const Rgb colour = control.colour ? *control.colour : toRgb(inherited(widget, text));
    const QColor shown = shownColour(colour, seenBehind(widget, background));
    if (widget->palette().color(text) != shown) {
        // Only the text role is the widget's own; a copy of its whole palette would fix every
        // colour of the theme in force and keep them after the next change.
        QPalette own;
        own.setColor(text, shown);
        widget->setPalette(own);
    }
}

QWidget *createControlWidget(const ControlDefinition &control, QWidget *parent, qreal logicalDpi)
{
    // Each widget is made empty and given its font before its text, so Qt lays the text out once,
    // in the font it is drawn in.
    const auto made = [&control, logicalDpi]<class Widget>(Widget *widget) {
        widget->setObjectName(toQString(control.name));
        placeControl(widget, control, logicalDpi, 1.0, QPoint());
        return widget;
    };
    const auto finished = [&control](QWidget *widget) {
        widget->setAccessibleName(toQString(accessibleName(control)));
        widget->setAccessibleDescription(toQString(control.accessibleDescription));
        widget->setFocusPolicy(takesFocus(control.kind) ? Qt::StrongFocus : Qt::NoFocus);
        keepReadable(widget, control);
        return widget;
    };
    switch (control.kind) {
    case ControlKind::Picture:
    case ControlKind::Label: {
        auto *label = made(new QLabel(parent));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (control.kind == ControlKind::Label) { // a picture's label has its pixmap
            label->setTextFormat(Qt::PlainText);
            label->setText(toQString(control.text));
        }
        return finished(label);
    }
    case ControlKind::Frame: {
        auto *frame = made(control.colour ? new CaptionColouredFrame(parent, *control.colour)
                                          : new QGroupBox(parent));
        // A frame is opaque: it hides what lies under it, such as the foot of the picture.
        frame->setAutoFillBackground(true);
        frame->setTitle(literalCaption(control.text));
        return finished(frame);
    }
    case ControlKind::TextBox: {
        auto *edit = made(new TextBoxEdit(parent));
        edit->setMaxLength(std::numeric_limits<int>::max());
        if (!control.text.empty()) {
            edit->setText(toQString(control.text));
        }
        return finished(edit);
    }
    case ControlKind::CommandButton: {
        auto *button = made(new QPushButton(parent));
        button->setText(literalCaption(control.text));
        return finished(button);
    }
    }
    return nullptr;
}

QIcon iconFromPictures(std::span<const std::string_view> paths)
{
    QIcon icon;
    for (const std::string_view path : paths) {
        icon.addPixmap(readPicture(toQString(path))); // which leaves out a null picture
    }
    return icon;
}

} // namespace forms
