// SPDX-License-Identifier: MIT
// Makes a control's widget from its definition (see widgets.hpp).
#include "forms/qt/widgets.hpp"

#include "forms/core/contrast.hpp"
#include "forms/qt/pictures.hpp"
#include "forms/qt/text_box_edit.hpp"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace forms {

std::string_view substituteFace(std::string_view face)
{
    // Liberation Sans keeps the widths the captions were laid out for; asking for it by name
    // also spares fontconfig a fallback search for a face that is not there.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 1> kSubstitutes {{
        {"MS Sans Serif", "Liberation Sans"},
    }};
    const auto *found = std::find_if(kSubstitutes.begin(), kSubstitutes.end(),
                                     [face](const auto &entry) { return entry.first == face; });
    return found != kSubstitutes.end() ? found->second : face;
}

QFont toQFont(const Font &font)
{
    QFont qfont(toQString(substituteFace(font.face)));
    qfont.setPointSizeF(font.points());
    qfont.setWeight(static_cast<QFont::Weight>(font.weight));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    return qfont;
}

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TextRoles textRoles(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
        return {.text = QPalette::Text, .background = QPalette::Base};
    case ControlKind::CommandButton:
        return {.text = QPalette::ButtonText, .background = QPalette::Button};
    case ControlKind::Label:
    case ControlKind::Frame:
    case ControlKind::Picture:
        break;
    }
    return {.text = QPalette::WindowText, .background = QPalette::Window};
}

namespace {

// An access key would appear where a caption holds '&'; captions are shown as they stand.
QString literalCaption(std::string_view text)
{
    return toQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

Rgb toRgb(const QColor &colour)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

QColor toQColor(Rgb colour)
{
    return {colour.red, colour.green, colour.blue};
}

// A fixed text colour as shown on `background`: exactly as defined on a light background,
// lightened to stay readable on a dark one.
QColor shownColour(const Colour &colour, const QColor &background)
{
    return toQColor(readableOn({colour.red, colour.green, colour.blue}, toRgb(background)));
}

// A frame whose caption has its own colour. The colour is given to the caption when it is drawn,
// not set in the frame's palette: a palette set on the frame would be handed down to every control
// in it as a copy of its own, and the style, which caches the pictures of buttons by palette,
// would then draw and keep each button's picture anew instead of sharing one.
class CaptionColouredFrame final : public QGroupBox {
public:
    CaptionColouredFrame(QWidget *parent, const QColor &caption)
        : QGroupBox(parent)
        , m_caption(caption)
    {
    }

protected:
    void initStyleOption(QStyleOptionGroupBox *option) const override
    {
        QGroupBox::initStyleOption(option);
        option->palette.setColor(QPalette::WindowText, m_caption);
        // What the frame derived from its palette for the caption, derived again from the colour.
        if (option->textColor.isValid()) {
            const int rgba = style()->styleHint(QStyle::SH_GroupBox_TextLabelColor, option, this);
            if (rgba != 0) {
                option->textColor = QColor::fromRgba(static_cast<QRgb>(rgba));
            }
        }
    }

private:
    QColor m_caption;
};

// On a dark palette the style draws a box's frame in a shade next to the box's own, so an empty
// box would vanish: such boxes get a border that stands out from the box.
void keepBorderOnDark(QLineEdit *edit)
{
    const Rgb base = toRgb(edit->palette().color(QPalette::Base));
    if (!isDark(base)) {
        return;
    }
    const QColor border = toQColor(readableOn({128, 128, 128}, base));
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid %1; }").arg(border.name()));
}

// An empty widget of the control's kind. Its text comes later, once its font is set, so Qt lays
// the text out once, in the font it is drawn in.
QWidget *createWidget(const ControlDefinition &control, QWidget *parent)
{
    switch (control.kind) {
    case ControlKind::Picture:
    case ControlKind::Label:
        return new QLabel(parent);
    case ControlKind::Frame:
        if (!control.colour.isDefault) {
            return new CaptionColouredFrame(
                parent,
                shownColour(control.colour,
                            parent->palette().color(textRoles(control.kind).background)));
        }
        return new QGroupBox(parent);
    case ControlKind::TextBox:
        return new TextBoxEdit(parent);
    case ControlKind::CommandButton:
        return new QPushButton(parent);
    }
    return nullptr;
}

void setContent(const ControlDefinition &control, QWidget *widget)
{
    switch (control.kind) {
    case ControlKind::Picture: {
        auto *picture = static_cast<QLabel *>(widget);
        picture->setPixmap(loadPicture(toQString(control.picture), widget->devicePixelRatioF()));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return;
    }
    case ControlKind::Label: {
        auto *label = static_cast<QLabel *>(widget);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setText(toQString(control.text));
        return;
    }
    case ControlKind::Frame: {
        auto *frame = static_cast<QGroupBox *>(widget);
        // A frame is opaque: it hides what lies under it, such as the foot of the picture.
        frame->setAutoFillBackground(true);
        frame->setTitle(literalCaption(control.text));
        return;
    }
    case ControlKind::TextBox: {
        auto *edit = static_cast<QLineEdit *>(widget);
        edit->setMaxLength(std::numeric_limits<int>::max());
        if (!control.text.empty()) {
            edit->setText(toQString(control.text));
        }
        return;
    }
    case ControlKind::CommandButton: {
        auto *button = static_cast<QPushButton *>(widget);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setText(literalCaption(control.text));
        return;
    }
    }
}

} // namespace

QWidget *createControlWidget(const ControlDefinition &control, QWidget *parent, qreal logicalDpi)
{
    const auto px = [logicalDpi](Twips twips) { return twipsToPixels(twips, logicalDpi); };
    QWidget *made = createWidget(control, parent);
    made->setObjectName(toQString(control.name));
    made->setGeometry(px(control.left), px(control.top), px(control.width), px(control.height));
    if (!control.font.face.empty()) {
        // Only where it differs from the font the control has from its container: each font
        // set on a widget is resolved and matched anew, one inherited is shared.
        QFont font = toQFont(control.font);
        if (font != parent->font()) {
            made->setFont(font);
        }
    }
    if (!control.colour.isDefault && control.kind != ControlKind::Frame) {
        const TextRoles roles = textRoles(control.kind);
        QPalette palette = made->palette();
        palette.setColor(roles.text, shownColour(control.colour, palette.color(roles.background)));
        made->setPalette(palette);
    }
    setContent(control, made);
    made->setAccessibleName(toQString(accessibleName(control)));
    made->setAccessibleDescription(toQString(control.accessibleDescription));
    made->setFocusPolicy(takesFocus(control.kind) ? Qt::StrongFocus : Qt::NoFocus);
    if (control.kind == ControlKind::TextBox) {
        keepBorderOnDark(static_cast<QLineEdit *>(made));
    }
    return made;
}

} // namespace forms
