// SPDX-License-Identifier: MIT
// Makes a control's widget from its definition, and keeps its fixed text colour readable on what it
// is drawn on, worked out again whenever the palette or the style changes (a desktop switching
// from a light scheme to a dark one while the window is open).
#include "forms/qt/widgets.hpp"

#include "forms/core/contrast.hpp"
#include "forms/core/faces.hpp"
#include "forms/qt/pictures.hpp"
#include "forms/qt/text_box_edit.hpp"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QWidget>

#include <limits>
#include <optional>

namespace forms {

std::string_view substituteFace(std::string_view face)
{
    // The first of Linux's substitutes is installed with the program (Liberation Sans keeps the
    // widths the captions were laid out for); asking for it by name also spares fontconfig a
    // fallback search for a face that is not there.
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

// The palette roles a control of this kind draws its text in, and what the text is drawn on.
struct TextRoles {
    QPalette::ColorRole text = QPalette::WindowText;
    QPalette::ColorRole background = QPalette::Window;
};

TextRoles textRoles(ControlKind kind)
{
    if (kind == ControlKind::TextBox) {
        return {.text = QPalette::Text, .background = QPalette::Base};
    }
    if (kind == ControlKind::CommandButton) {
        return {.text = QPalette::ButtonText, .background = QPalette::Button};
    }
    return {}; // labels, frames and pictures
}

Rgb toRgb(const QColor &colour)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// A fixed text colour as shown on `background`. The boxes of a form share one colour and one
// background, so the last answer is kept and most calls cost a comparison.
QColor shownColour(Rgb defined, Rgb background)
{
    static Rgb lastColour;
    static Rgb lastBackground;
    static QColor lastShown;
    if (!lastShown.isValid() || defined != lastColour || background != lastBackground) {
        const Rgb shown = readableOn(defined, background);
        lastColour = defined;
        lastBackground = background;
        lastShown = QColor(shown.red, shown.green, shown.blue);
    }
    return lastShown;
}

// A frame whose caption has its own colour. The colour is given to the caption as it is drawn,
// not set in the frame's palette: a palette set on the frame would be handed down to every control
// in it as a copy of its own, and the style, which caches the pictures of buttons by palette,
// would then draw and keep each button's picture anew instead of sharing one.
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
        // Styles draw the caption in the option's text colour where it has one; what they derive
        // it from differs (Fusion from the window text, the Windows style from the text role), so
        // it is given outright.
        option->textColor = caption;
    }

private:
    Rgb m_colour;
};

// Applies the colours to its widget when made and again after each palette or style change. A
// change it makes itself comes back as another event, which then finds nothing to do.
class ColourKeeper final : public QObject {
public:
    ColourKeeper(QWidget *widget, const ControlDefinition &control)
        : QObject(widget)
        , m_widget(widget)
        , m_colour(control.colour)
        , m_kind(control.kind)
    {
        apply();
        // The window too: a box with a style sheet holds a palette of its own, and hears nothing
        // when the application's changes; the window always does.
        widget->installEventFilter(this);
        widget->window()->installEventFilter(this);
    }

protected:
    // Widgets hear of a new application palette in no set order, a box perhaps before the window
    // it inherits from, and a box with a style sheet hears nothing more once its container
    // changes: the colours are worked out when the change has reached every widget.
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (!m_pending
            && (type == QEvent::PaletteChange || type == QEvent::ApplicationPaletteChange
                || type == QEvent::StyleChange)) {
            m_pending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_pending = false;
                    apply();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    void apply()
    {
        if (m_kind == ControlKind::TextBox && keepBorder()) {
            // A style sheet keeps the palette the widget had when it was set, and puts it back
            // as the widget's own when it goes, theme and all: the theme's colours are dropped.
            m_widget->setPalette(QPalette());
        }
        // A box in the theme's own text colour keeps it unless it cannot be read on the box (a
        // theme whose boxes have their text's colour); then it takes the nearest shade that can.
        const TextRoles roles = textRoles(m_kind);
        const std::optional<Rgb> colour = m_colour ? m_colour
            : m_kind == ControlKind::TextBox       ? std::optional(toRgb(inherited(roles.text)))
                                                   : std::nullopt;
        if (colour) {
            const QColor shown = shownColour(*colour, seenBehind(roles.background));
            if (m_widget->palette().color(roles.text) != shown) {
                // Only the text role is the widget's own; a copy of its whole palette would fix
                // every colour of the theme in force and keep them after the next change.
                QPalette own;
                own.setColor(roles.text, shown);
                m_widget->setPalette(own);
            }
        }
    }

    // The colour the widget has from its container for a role, which its own palette may not
    // have yet as the theme changes (see apply).
    [[nodiscard]] QColor inherited(QPalette::ColorRole role) const
    {
        const QWidget *container = m_widget->parentWidget();
        return (container != nullptr ? container : m_widget)->palette().color(role);
    }

    // The colour a role shows as behind the widget's text: one short of opaque lets the window's
    // colour show through, and what the eye sees is the two mixed.
    [[nodiscard]] Rgb seenBehind(QPalette::ColorRole role) const
    {
        const QColor colour = inherited(role);
        if (colour.alpha() == 255 || role == QPalette::Window) {
            return toRgb(colour);
        }
        return seenThrough(toRgb(colour), static_cast<std::uint8_t>(colour.alpha()),
                           toRgb(inherited(QPalette::Window)));
    }

    // On a dark palette the style draws a box's frame in a shade next to the box's own, so an
    // empty box would vanish: there it gets a border that stands out from the box; on a light one
    // the style's own frame. True when the box's style sheet changed.
    bool keepBorder()
    {
        const Rgb base = seenBehind(QPalette::Base);
        QString sheet;
        if (isDark(base)) {
            sheet = QStringLiteral("QLineEdit { border: 1px solid %1; }")
                        .arg(shownColour({128, 128, 128}, base).name());
        }
        if (m_widget->styleSheet() == sheet) {
            return false;
        }
        m_widget->setStyleSheet(sheet);
        return true;
    }

    QWidget *m_widget;
    std::optional<Rgb> m_colour;
    ControlKind m_kind;
    bool m_pending = false;
};

// An access key would appear where a caption holds '&'; captions are shown as they stand.
QString literalCaption(std::string_view text)
{
    return toQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

QWidget *createControlWidget(const ControlDefinition &control, QWidget *parent, qreal logicalDpi)
{
    // Each widget is made empty and given its font before its text, so Qt lays the text out once,
    // in the font it is drawn in.
    const auto made = [&control, parent, logicalDpi]<class Widget>(Widget *widget) {
        const auto px = [logicalDpi](Twips twips) { return twipsToPixels(twips, logicalDpi); };
        widget->setObjectName(toQString(control.name));
        widget->setGeometry(px(control.left), px(control.top), px(control.width),
                            px(control.height));
        if (!control.font.face.empty()) {
            // Only where it differs from the font the control has from its container, which is
            // the form's own or a frame's, both set from the definition (never the
            // application's, which a desktop theme may change): each font set on a widget is
            // resolved and matched anew, one inherited is shared.
            QFont font = toQFont(control.font);
            if (font != parent->font()) {
                widget->setFont(font);
            }
        }
        return widget;
    };
    // Then what a screen reader calls it, whether it takes the focus, and its colours: a label or
    // a text box keeps its fixed text colour, and a text box a border that stands out on a dark
    // palette; frames colour their own captions.
    const auto finished = [&control](QWidget *widget) {
        widget->setAccessibleName(toQString(accessibleName(control)));
        widget->setAccessibleDescription(toQString(control.accessibleDescription));
        widget->setFocusPolicy(takesFocus(control.kind) ? Qt::StrongFocus : Qt::NoFocus);
        if (control.kind == ControlKind::TextBox
            || (control.colour && control.kind != ControlKind::Frame)) {
            new ColourKeeper(widget, control);
        }
        return widget;
    };
    switch (control.kind) {
    case ControlKind::Picture: {
        auto *picture = made(new QLabel(parent));
        picture->setPixmap(loadPicture(toQString(control.picture), picture->devicePixelRatioF()));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return finished(picture);
    }
    case ControlKind::Label: {
        auto *label = made(new QLabel(parent));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setText(toQString(control.text));
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
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setText(literalCaption(control.text));
        return finished(button);
    }
    }
    return nullptr;
}

} // namespace forms
