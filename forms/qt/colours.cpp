// SPDX-License-Identifier: MIT
// Fixed text colours and text boxes' borders kept readable on the palette in force (see
// colours.hpp).
#include "forms/qt/colours.hpp"

#include "forms/core/contrast.hpp"
#include "forms/qt/widgets.hpp"

#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QStyleOptionGroupBox>

#include <optional>

namespace forms {

namespace {

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
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::PaletteChange:
        case QEvent::ApplicationPaletteChange:
        case QEvent::StyleChange:
            applyOnceSettled();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Widgets hear of a new application palette in no set order, a box perhaps before the window
    // it inherits from, and a box with a style sheet hears nothing more once its container
    // changes: the colours are worked out when the change has reached every widget.
    void applyOnceSettled()
    {
        if (!m_pending) {
            m_pending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_pending = false;
                    apply();
                },
                Qt::QueuedConnection);
        }
    }

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

} // namespace

QGroupBox *createCaptionColouredFrame(QWidget *parent, Rgb colour)
{
    return new CaptionColouredFrame(parent, colour);
}

void keepColoursReadable(QWidget *widget, const ControlDefinition &control)
{
    const bool coloured = control.colour && control.kind != ControlKind::Frame;
    if (!coloured && control.kind != ControlKind::TextBox) {
        return;
    }
    new ColourKeeper(widget, control);
}

} // namespace forms
