// SPDX-License-Identifier: MIT
// The main window built by hand in plain Qt, as a start-up baseline: the same 73 widgets with the
// same texts, places, fonts, colours, picture, names and tab order, made by direct Qt calls the way
// hand-written (or uic-generated) code makes them, with no forms runtime in between. scripts/bench
// times it against icatlas and the empty window, run by run, and counts its instructions.
// It reads the window's definition only as the literals such code would hold; the conversions a
// developer does by hand (twips to pixels at 96 DPI, the face drawn for "MS Sans Serif") are done
// here the same way.
#include "ui/main_window.hpp"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QResource>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using forms::ControlKind;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Positions as pixels at 96 DPI: 15 twips each (the banner's top lies above the window's).
int px(forms::Twips twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

QFont fontOf(const forms::Font &font)
{
    QFont made(font.face == "MS Sans Serif" ? QStringLiteral("Liberation Sans")
                                            : toQString(font.face));
    made.setPointSizeF(font.points());
    made.setWeight(static_cast<QFont::Weight>(font.weight));
    return made;
}

QString caption(std::string_view text)
{
    return toQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QWidget *make(const forms::ControlDefinition &control, QWidget *parent)
{
    switch (control.kind) {
    case ControlKind::Picture: {
        auto *picture = new QLabel(parent);
        picture->setPixmap(QPixmap(toQString(control.picture)));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    case ControlKind::Label: {
        auto *label = new QLabel(toQString(control.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Frame: {
        auto *frame = new QGroupBox(caption(control.text), parent);
        frame->setAutoFillBackground(true);
        return frame;
    }
    case ControlKind::TextBox: {
        auto *edit = new QLineEdit(parent);
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setText(toQString(control.text));
        return edit;
    }
    case ControlKind::CommandButton: {
        auto *button = new QPushButton(caption(control.text), parent);
        button->setAutoDefault(false);
        return button;
    }
    }
    return nullptr;
}

QPalette::ColorRole textRole(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
        return QPalette::Text;
    case ControlKind::CommandButton:
        return QPalette::ButtonText;
    default:
        return QPalette::WindowText;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const QApplication application(argc, argv);
    // The banner, as a program registers the resources it was built with.
    QResource::registerResource(icatlas::ui::kPictureBundle);
    QApplication::setFont(fontOf(icatlas::ui::kForm1.font));

    QWidget window(nullptr,
                   Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setObjectName(QStringLiteral("Form1"));
    window.setWindowTitle(toQString(icatlas::ui::kForm1.caption));
    window.setFixedSize(642, 525);

    const auto &controls = icatlas::ui::kForm1Controls;
    std::vector<QWidget *> made;
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (const forms::ControlDefinition &control : controls) {
        QWidget *parent = &window;
        if (!control.container.empty()) {
            parent = made[forms::findDefinition(controls, control.container) - controls.data()];
        }
        QWidget *widget = make(control, parent);
        widget->setObjectName(toQString(control.name));
        widget->setGeometry(px(control.left), px(control.top), px(control.width),
                            px(control.height));
        if (!control.font.face.empty()) {
            widget->setFont(fontOf(control.font));
        }
        if (control.colour) {
            QPalette palette = widget->palette();
            palette.setColor(
                textRole(control.kind),
                QColor(control.colour->red, control.colour->green, control.colour->blue));
            widget->setPalette(palette);
        }
        widget->setAccessibleName(
            toQString(control.accessibleName.empty() ? control.text : control.accessibleName));
        widget->setAccessibleDescription(toQString(control.accessibleDescription));
        const bool focus = forms::takesFocus(control.kind);
        widget->setFocusPolicy(focus ? Qt::StrongFocus : Qt::NoFocus);
        if (focus) {
            tabOrder.emplace_back(control.tabIndex, widget);
        }
        made.push_back(widget);
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    }
    tabOrder.front().second->setFocus(Qt::OtherFocusReason);
    window.show();
    return QApplication::exec();
}
