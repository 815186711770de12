// SPDX-License-Identifier: MIT
// Makes a control's widget from its definition (see widgets.hpp).
#include "forms/qt/widgets.hpp"

#include "forms/core/faces.hpp"
#include "forms/qt/colours.hpp"
#include "forms/qt/pictures.hpp"
#include "forms/qt/text_box_edit.hpp"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <cmath>
#include <limits>

namespace forms {

std::string_view substituteFace(std::string_view face)
{
    // The first of Linux's substitutes is installed with the program (Liberation Sans keeps the
    // widths the captions were laid out for); asking for it by name also spares fontconfig a
    // fallback search for a face that is not there.
    const auto substitutes = substitutesFor(face, Platform::Linux);
    return substitutes.empty() ? face : substitutes.front();
}

QFont toQFont(const Font &font)
{
    QFont qfont(toQString(substituteFace(font.face)));
    qfont.setPointSizeF(font.points());
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

// An empty widget of the control's kind. Its text comes later, once its font is set, so Qt lays
// the text out once, in the font it is drawn in.
QWidget *createWidget(const ControlDefinition &control, QWidget *parent)
{
    switch (control.kind) {
    case ControlKind::Picture:
    case ControlKind::Label:
        return new QLabel(parent);
    case ControlKind::Frame:
        return control.colour ? createCaptionColouredFrame(parent, *control.colour)
                              : new QGroupBox(parent);
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
        // Only where it differs from the font the control has from its container, which is the
        // form's own or a frame's, both set from the definition (never the application's, which
        // a desktop theme may change): each font set on a widget is resolved and matched anew,
        // one inherited is shared.
        QFont font = toQFont(control.font);
        if (font != parent->font()) {
            made->setFont(font);
        }
    }
    setContent(control, made);
    made->setAccessibleName(toQString(accessibleName(control)));
    made->setAccessibleDescription(toQString(control.accessibleDescription));
    made->setFocusPolicy(takesFocus(control.kind) ? Qt::StrongFocus : Qt::NoFocus);
    keepColoursReadable(made, control);
    return made;
}

} // namespace forms
