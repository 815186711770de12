// SPDX-License-Identifier: MIT
// The find row over Qt Widgets (see find_row.hpp).
#include "forms/qt/find_row.hpp"

#include "forms/core/scaling.hpp"
#include "forms/qt/accessibility.hpp"
#include "forms/qt/keyboard.hpp"
#include "forms/qt/widgets.hpp"
#include "forms/start/runtime.hpp"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <utility>

namespace forms {

namespace {

// A layer over the whole window that draws a thick frame, in the window's text colour, round each
// marked control: it reads without colour, on a light palette and a dark one, leaves the controls'
// own drawing as it is, and changes no control, so assistive technology sees no widget come or go
// as the marks change.
class MarkLayer final : public QWidget {
public:
    explicit MarkLayer(QWidget *window)
        : QWidget(window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setObjectName(QStringLiteral("findMarks"));
        setGeometry(window->rect());
    }

    void setControls(std::vector<QPointer<QWidget>> controls)
    {
        m_controls = std::move(controls);
        raise();
        update();
    }

protected:
    void paintEvent(QPaintEvent * /*event*/) override
    {
        QPainter painter(this);
        for (const QPointer<QWidget> &control : m_controls) {
            if (control.isNull() || !control->isVisible()) {
                continue;
            }
            const QRectF place(control->mapTo(parentWidget(), QPoint()), control->size());
            const double thickness = std::max(3, control->height() / 10);
            QPen pen(palette().color(QPalette::WindowText), thickness);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawRect(
                place.adjusted(thickness / 2, thickness / 2, -thickness / 2, -thickness / 2));
        }
    }

private:
    std::vector<QPointer<QWidget>> m_controls;
};

} // namespace

QtFindRow::QtFindRow(Host host)
    : QObject(host.window)
    , FindRow(host.controls)
    , m_host(std::move(host))
    // Only the keys are watched from the start; the row itself is made when first opened.
    , m_keys(bindKeys(m_host.window, m_host.widgets, *this))
{
}

void QtFindRow::makeRow()
{
    m_row = new QWidget(m_host.window);
    m_row->setObjectName(QStringLiteral("findRow"));
    m_field = new QLineEdit(m_row);
    m_field->setObjectName(QStringLiteral("findField"));
    m_field->setAccessibleName(toQString(kFindFieldName));
    m_field->setPlaceholderText(toQString(kFindFieldName));
    m_field->installEventFilter(m_keys);
    m_answer = new QLabel(m_row);
    m_answer->setObjectName(QStringLiteral("findAnswer"));
    m_answer->setWordWrap(true);
    m_answer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_answer->setTextFormat(Qt::PlainText);
    m_pause = new QTimer(m_row);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kAnnouncePause);
    QObject::connect(m_pause, &QTimer::timeout, this, [this] {
        describeMarks();
        if (const std::optional<std::string> line = announcement(); line && m_host.announce) {
            m_host.announce(*line);
        }
    });
    QObject::connect(m_field, &QLineEdit::textChanged, this,
                     [this](const QString &text) { edited(text.toStdString()); });
    m_marks = new MarkLayer(m_host.window);
}

double QtFindRow::scale() const
{
    return m_host.scale ? m_host.scale() : 1.0;
}

int QtFindRow::addedHeight(double scale) const
{
    return isOpen() ? twipsToPixels(kFindRowHeight, m_host.logicalDpi, scale) : 0;
}

void QtFindRow::layOut()
{
    if (m_row.isNull() || !isOpen()) {
        return;
    }
    const double scale = this->scale();
    const QSize size = m_host.window->size();
    const FindRowPlace place = findRowPlace(size.width(), size.height(), addedHeight(scale),
                                            m_host.clientWidth, m_host.logicalDpi, scale);
    const auto rect = [](PixelRect r) { return QRect(r.left, r.top, r.width, r.height); };
    m_marks->setGeometry(m_host.window->rect());
    m_row->setGeometry(rect(place.row));
    QFont font = m_host.window->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    m_field->setFont(font);
    m_field->setGeometry(rect(place.field));
    font.setPointSizeF(font.pointSizeF() * kFindAnswerFontFactor);
    m_answer->setFont(font);
    m_answer->setGeometry(rect(place.answer));
}

void QtFindRow::open(std::string_view text)
{
    if (m_row.isNull()) {
        makeRow();
    }
    if (!isOpen()) {
        QWidget *focused = QApplication::focusWidget();
        m_focusBefore
            = focused != nullptr && focused->window() == m_host.window ? focused : nullptr;
        setOpen(true);
        const int added = addedHeight(scale());
        QWidget *window = m_host.window;
        window->setMinimumHeight(window->minimumHeight() + added);
        window->resize(window->width(), window->height() + added);
        layOut();
        m_row->show();
        m_marks->show();
    }
    // The same text again (Ctrl+F after Esc) is found again: the marks went with the row.
    const QString wanted = toQString(text);
    if (m_field->text() == wanted) {
        edited(text);
    } else {
        m_field->setText(wanted);
    }
    m_field->selectAll();
    m_field->setFocus(Qt::ShortcutFocusReason);
}

void QtFindRow::close()
{
    if (!isOpen()) {
        return;
    }
    mark({});
    describeMarks();
    m_marks->hide();
    m_pause->stop();
    const int added = addedHeight(scale());
    m_row->hide();
    setOpen(false);
    QWidget *window = m_host.window;
    window->setMinimumHeight(window->minimumHeight() - added);
    window->resize(window->width(), window->height() - added);
    if (!m_focusBefore.isNull()) {
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    }
    closed();
}

const ControlDefinition *QtFindRow::definitionOf(const QWidget *widget) const
{
    const auto found = std::find(m_host.widgets.begin(), m_host.widgets.end(), widget);
    return found == m_host.widgets.end()
        ? nullptr
        : &m_host.controls[static_cast<std::size_t>(found - m_host.widgets.begin())];
}

QWidget *QtFindRow::widgetOf(const ControlDefinition &control) const
{
    return m_host.widgets[static_cast<std::size_t>(&control - m_host.controls.data())];
}

FocusOn QtFindRow::focusOn(const QWidget *widget) const
{
    return widget != nullptr && widget == m_field ? FocusOn::FindField
                                                  : forms::focusOn(definitionOf(widget));
}

void QtFindRow::mark(std::span<const Mark> marks)
{
    takeMarks(marks);
    if (m_marks.isNull()) {
        return;
    }
    std::vector<QPointer<QWidget>> framed;
    for (const Marked &mark : currentMarks()) {
        framed.emplace_back(widgetOf(*mark.control));
    }
    static_cast<MarkLayer *>(m_marks.data())->setControls(std::move(framed));
}

void QtFindRow::describeMarks()
{
    for (const Marked &change : describe()) {
        widgetOf(*change.control)->setAccessibleDescription(toQString(change.description));
    }
}

void QtFindRow::showAnswer(std::string_view line)
{
    if (m_answer.isNull()) {
        return;
    }
    m_answer->setText(toQString(line));
    if (takeAnswer(line)) {
        m_pause->start();
    } else {
        m_pause->stop();
    }
}

void QtFindRow::step(FindStep step)
{
    if (!m_handlers.stepped) {
        return;
    }
    // A step selects as a click does, and traps no more than a click's handler does.
    const QuietTextBoxes quiet(m_host.window);
    try {
        m_handlers.stepped(step);
    } catch (const std::exception &error) {
        reportUntrappedError(error);
    }
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
    QObject::connect(find, &QAction::triggered, this, [this, box = QPointer<QLineEdit>(box)] {
        if (!box.isNull()) {
            open(box->text().toStdString());
        }
    });
    menu->popup(at, find);
}

bool QtFindRow::act(KeyAction action, QWidget *focused)
{
    return FindRow::act(action, definitionOf(focused));
}

void QtFindRow::focus(const ControlDefinition &button)
{
    widgetOf(button)->setFocus(Qt::OtherFocusReason);
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
    auto *edit = qobject_cast<QLineEdit *>(widgetOf(box));
    if (edit != nullptr) {
        contextMenu(edit, edit->mapToGlobal(edit->rect().center()));
    }
    return edit != nullptr;
}

} // namespace forms
