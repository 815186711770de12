// SPDX-License-Identifier: MIT
// A form's find row over Qt Widgets and the form's keys (see qt_form.hpp).
#include "forms/qt/qt_form.hpp"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace forms {

namespace {

// Key_Enter is the keypad's.
constexpr auto kKeys = std::to_array<std::pair<int, Key>>({
    {Qt::Key_Return, Key::Enter},
    {Qt::Key_Enter, Key::Enter},
    {Qt::Key_Escape, Key::Escape},
    {Qt::Key_C, Key::C},
    {Qt::Key_F, Key::F},
    {Qt::Key_Q, Key::Q},
    {Qt::Key_W, Key::W},
    {Qt::Key_F3, Key::F3},
    {Qt::Key_F10, Key::F10},
    {Qt::Key_Menu, Key::Menu},
    {Qt::Key_Left, Key::Left},
    {Qt::Key_Right, Key::Right},
    {Qt::Key_Up, Key::Up},
    {Qt::Key_Down, Key::Down},
});

// A Qt key event as the core's key table names it.
KeyPress keyPress(const QKeyEvent &event)
{
    const auto *const found = std::ranges::find(kKeys, event.key(), &std::pair<int, Key>::first);
    KeyPress press {found != kKeys.end() ? found->second : Key::Other, kNoModifier};
    for (const auto &[qt, bit] :
         {std::pair {Qt::ShiftModifier, kShift}, std::pair {Qt::ControlModifier, kControl},
          std::pair {Qt::AltModifier, kAlt}, std::pair {Qt::MetaModifier, kMeta}}) {
        if (event.modifiers().testFlag(qt)) {
            press.modifiers |= bit;
        }
    }
    return press;
}

} // namespace

QtFindRow::QtFindRow(QtForm &form)
    : QObject(form.m_window)
    , FindRow(form, form.m_definition)
    , m_form(form)
{
    form.m_window->installEventFilter(this);
    for (QWidget *widget : form.m_widgets) {
        widget->installEventFilter(this);
    }
}

double QtFindRow::dpi() const
{
    return m_form.m_logicalDpi;
}

double QtFindRow::scale() const
{
    return m_form.m_scale;
}

void QtFindRow::layOut()
{
    if (m_field.isNull() || !isOpen()) {
        return;
    }
    const QSize size = m_form.m_window->size();
    const FindRowPlace at = place(size.width(), size.height());
    const auto rect = [&at](PixelRect r) { // the field's and the answer's, from the row's corner
        return QRect(at.row.left + r.left, at.row.top + r.top, r.width, r.height);
    };
    m_marks->setGeometry(m_form.m_window->rect());
    QFont font = m_form.m_window->font();
    font.setPointSizeF(font.pointSizeF() * scale());
    m_field->setFont(font);
    m_field->setGeometry(rect(at.field));
    font.setPointSizeF(font.pointSizeF() * kFindAnswerFontFactor);
    m_answer->setFont(font);
    m_answer->setGeometry(rect(at.answer));
}

bool QtFindRow::make()
{
    if (!m_field.isNull()) {
        return true;
    }
    m_field = new QLineEdit(m_form.m_window);
    m_field->setObjectName(QStringLiteral("findField"));
    m_field->setAccessibleName(toQString(kFindFieldName));
    m_field->setPlaceholderText(toQString(kFindFieldName));
    m_field->installEventFilter(this);
    m_answer = new QLabel(m_form.m_window);
    m_answer->setObjectName(QStringLiteral("findAnswer"));
    m_answer->setWordWrap(true);
    m_answer->setTextFormat(Qt::PlainText);
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kAnnouncePause);
    QObject::connect(m_pause, &QTimer::timeout, this, [this] { paused(); });
    QObject::connect(m_field, &QLineEdit::textChanged, this,
                     [this](const QString &text) { typed(text.toStdString()); });
    // One layer over the whole window draws a thick frame, in the window's text colour, round
    // each marked control: it reads without colour, on a light palette and a dark one, leaves
    // the controls' own drawing as it is, and changes no control, so assistive technology sees
    // no widget come or go as the marks change.
    m_marks = new QWidget(m_form.m_window);
    m_marks->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_marks->setObjectName(QStringLiteral("findMarks"));
    m_marks->installEventFilter(this);
    return true;
}

void QtFindRow::show(bool shown)
{
    if (shown) {
        layOut();
    }
    m_field->setVisible(shown);
    m_answer->setVisible(shown);
    m_marks->setVisible(shown);
}

void QtFindRow::setField(std::string_view text)
{
    m_field->setText(toQString(text));
    m_field->selectAll();
    m_field->setFocus(Qt::ShortcutFocusReason);
}

void QtFindRow::grow(int height)
{
    QWidget *window = m_form.m_window;
    window->setMinimumHeight(window->minimumHeight() + height);
    window->resize(window->width(), window->height() + height);
}

const ControlDefinition *QtFindRow::definitionOf(const QWidget *widget) const
{
    const auto at = std::ranges::find(m_form.m_widgets, widget) - m_form.m_widgets.begin();
    return at < std::ssize(m_form.m_widgets)
        ? &m_form.m_definition.controls[static_cast<std::size_t>(at)]
        : nullptr;
}

void QtFindRow::redraw(const MarkChange & /*change*/)
{
    if (!m_marks.isNull()) {
        m_marks->raise();
        m_marks->update();
    }
}

void QtFindRow::paintMarks()
{
    QPainter painter(m_marks);
    for (const Marked &mark : currentMarks()) {
        const QWidget *control = m_form.widget(mark.control->name);
        if (!control->isVisible()) {
            continue;
        }
        const QRectF place(control->mapTo(m_form.m_window, QPoint()), control->size());
        const double thickness = std::max(3, control->height() / 10);
        painter.setPen(QPen(m_marks->palette().color(QPalette::WindowText), thickness,
                            Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(
            place.adjusted(thickness / 2, thickness / 2, -thickness / 2, -thickness / 2));
    }
}

void QtFindRow::describe(const ControlDefinition &control, std::string_view description)
{
    m_form.widget(control.name)->setAccessibleDescription(toQString(description));
}

void QtFindRow::setAnswer(std::string_view line)
{
    m_answer->setText(toQString(line));
}

void QtFindRow::pause(bool start)
{
    if (start) {
        m_pause->start();
    } else {
        m_pause->stop();
    }
}

void QtFindRow::runAsClick(const std::function<void()> &handler)
{
    m_form.runHandler(handler);
}

void QtFindRow::contextMenu(QLineEdit *box, QPoint at)
{
    QMenu *menu = box->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto *find = new QAction(toQString(kFindMenuItem), menu);
    find->setObjectName(QStringLiteral("findModelsWithThisPart"));
    QAction *first = menu->actions().isEmpty() ? nullptr : menu->actions().front();
    menu->insertAction(first, find);
    menu->insertSeparator(first);
    // The menu is the box's child: it goes, and its item with it, if the box goes.
    QObject::connect(find, &QAction::triggered, this,
                     [this, box] { open(box->text().toStdString()); });
    menu->popup(at, find);
}

bool QtFindRow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_marks.data() && event->type() == QEvent::Paint) {
        paintMarks();
        return true;
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::ContextMenu && type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    auto *widget = qobject_cast<QWidget *>(watched);
    const ControlDefinition *control = definitionOf(widget);
    // Where the focus is when `widget` has it, as the key table tells the places apart.
    const FocusOn focus
        = widget != nullptr && widget == m_field ? FocusOn::FindField : focusOn(control);
    if (type == QEvent::ContextMenu) {
        auto *box = qobject_cast<QLineEdit *>(widget);
        if (box == nullptr || focus != FocusOn::TextBox) {
            return false;
        }
        contextMenu(box, static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    return act(keyPress(*key), focus, control, type == QEvent::KeyPress,
               {.pressFocusedButton =
                    [key, widget] {
                        // Enter becomes Space for the button, so it goes down and comes up, clicks
                        // and is announced exactly as Space makes it do. The buttons are not
                        // default buttons, so Qt itself gives Enter no meaning there.
                        QKeyEvent space(key->type(), Qt::Key_Space, Qt::NoModifier,
                                        QStringLiteral(" "), key->isAutoRepeat());
                        QCoreApplication::sendEvent(widget, &space);
                    },
                .closeWindow = [this] { m_form.m_window->close(); }});
}

const ControlDefinition *QtFindRow::focused() const
{
    return definitionOf(QApplication::focusWidget());
}

void QtFindRow::focus(const ControlDefinition *control)
{
    if (control != nullptr) { // elsewhere, Qt moves the focus on from the field hidden
        m_form.widget(control->name)->setFocus(Qt::OtherFocusReason);
    }
}

std::string QtFindRow::fieldText() const
{
    return m_field.isNull() ? std::string() : m_field->text().toStdString();
}

void QtFindRow::copy(std::string_view text)
{
    QGuiApplication::clipboard()->setText(toQString(text));
}

bool QtFindRow::openMenu(const ControlDefinition &box)
{
    auto *edit = qobject_cast<QLineEdit *>(m_form.widget(box.name));
    if (edit != nullptr) {
        contextMenu(edit, edit->mapToGlobal(edit->rect().center()));
    }
    return edit != nullptr;
}

} // namespace forms
