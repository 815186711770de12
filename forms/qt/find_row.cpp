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
    , m_host(std::move(host))
    // Only the keys are watched from the start; the row itself is made when first opened.
    , m_keys(bindKeys(m_host.window, m_host.widgets, *this))
{
}

QtFindRow::~QtFindRow() = default;

void QtFindRow::bind(FindHandlers handlers)
{
    m_handlers = std::move(handlers);
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
        if (m_host.announce && !m_pendingAnswer.isEmpty() && m_pendingAnswer != m_announced) {
            m_announced = m_pendingAnswer;
            m_host.announce(m_pendingAnswer.toStdString());
        }
    });
    QObject::connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_handlers.edited) {
            m_handlers.edited(text.toStdString());
        }
    });
    m_marks = new MarkLayer(m_host.window);
}

int QtFindRow::addedHeight(double scale) const
{
    return m_open ? twipsToPixels(kFindRowHeight, m_host.logicalDpi, scale) : 0;
}

void QtFindRow::layOut()
{
    if (m_row.isNull() || !m_open) {
        return;
    }
    const double scale = m_host.scale ? m_host.scale() : 1.0;
    const auto px
        = [this, scale](Twips twips) { return twipsToPixels(twips, m_host.logicalDpi, scale); };
    const QSize size = m_host.window->size();
    m_marks->setGeometry(m_host.window->rect());
    const int height = addedHeight(scale);
    m_row->setGeometry((size.width() - px(m_host.clientWidth)) / 2, size.height() - height,
                       px(m_host.clientWidth), height);
    QFont font = m_host.window->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    m_field->setFont(font);
    m_field->setGeometry(px(kFindRowInset), (height - px(kFindFieldHeight)) / 2,
                         px(kFindFieldWidth), px(kFindFieldHeight));
    font.setPointSizeF(font.pointSizeF() * kFindAnswerFontFactor);
    m_answer->setFont(font);
    m_answer->setGeometry(px(kFindAnswerLeft), 0, px(kFindAnswerWidth), height);
}

void QtFindRow::open(std::string_view text)
{
    if (m_row.isNull()) {
        makeRow();
    }
    if (!m_open) {
        QWidget *focused = QApplication::focusWidget();
        m_focusBefore
            = focused != nullptr && focused->window() == m_host.window ? focused : nullptr;
        const double scale = m_host.scale ? m_host.scale() : 1.0;
        m_open = true;
        const int added = addedHeight(scale);
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
        if (m_handlers.edited) {
            m_handlers.edited(text);
        }
    } else {
        m_field->setText(wanted);
    }
    m_field->selectAll();
    m_field->setFocus(Qt::ShortcutFocusReason);
}

void QtFindRow::close()
{
    if (!m_open) {
        return;
    }
    mark({});
    describeMarks();
    m_marks->hide();
    m_pause->stop();
    m_pendingAnswer.clear();
    m_announced.clear();
    const int added = addedHeight(m_host.scale ? m_host.scale() : 1.0);
    m_row->hide();
    m_open = false;
    QWidget *window = m_host.window;
    window->setMinimumHeight(window->minimumHeight() - added);
    window->resize(window->width(), window->height() - added);
    if (!m_focusBefore.isNull()) {
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    }
    if (m_handlers.closed) {
        m_handlers.closed();
    }
}

QWidget *QtFindRow::row() const
{
    return m_row;
}

QLineEdit *QtFindRow::field() const
{
    return m_field;
}

bool QtFindRow::isOpen() const
{
    return m_open;
}

std::string_view QtFindRow::nameOf(const QWidget *widget) const
{
    const auto found = std::find(m_host.widgets.begin(), m_host.widgets.end(), widget);
    return found == m_host.widgets.end()
        ? std::string_view()
        : m_host.controls[static_cast<std::size_t>(found - m_host.widgets.begin())].name;
}

FocusOn QtFindRow::focusOn(const QWidget *widget) const
{
    return widget != nullptr && widget == m_field
        ? FocusOn::FindField
        : forms::focusOn(findDefinition(m_host.controls, nameOf(widget)));
}

void QtFindRow::mark(std::span<const Mark> marks)
{
    m_marked.clear();
    std::vector<QPointer<QWidget>> framed;
    for (const Mark &mark : marks) {
        const ControlDefinition *control = findDefinition(m_host.controls, mark.control);
        if (control == nullptr) {
            continue;
        }
        QWidget *widget
            = m_host.widgets[static_cast<std::size_t>(control - m_host.controls.data())];
        m_marked.push_back({widget, toQString(mark.description)});
        framed.emplace_back(widget);
    }
    if (!m_marks.isNull()) {
        static_cast<MarkLayer *>(m_marks.data())->setControls(std::move(framed));
    }
}

std::vector<std::string> QtFindRow::framed() const
{
    std::vector<std::string> names;
    if (m_open) {
        for (const Marked &mark : m_marked) {
            names.emplace_back(nameOf(mark.control));
        }
    }
    return names;
}

void QtFindRow::describeMarks()
{
    const auto marked = [this](const QWidget *widget) {
        return std::find_if(m_marked.begin(), m_marked.end(),
                            [widget](const Marked &m) { return m.control == widget; });
    };
    // Those no longer marked get their own description back.
    std::erase_if(m_ownDescriptions, [&](const Marked &own) {
        if (own.control.isNull()) {
            return true;
        }
        if (marked(own.control) != m_marked.end()) {
            return false;
        }
        own.control->setAccessibleDescription(own.description);
        return true;
    });
    for (const Marked &mark : m_marked) {
        if (mark.control.isNull()) {
            continue;
        }
        const bool described
            = std::any_of(m_ownDescriptions.begin(), m_ownDescriptions.end(),
                          [&mark](const Marked &own) { return own.control == mark.control; });
        if (!described) {
            m_ownDescriptions.push_back({mark.control, mark.control->accessibleDescription()});
        }
        // Only a change is sent on to assistive technology.
        if (mark.control->accessibleDescription() != mark.description) {
            mark.control->setAccessibleDescription(mark.description);
        }
    }
}

void QtFindRow::showAnswer(std::string_view line)
{
    if (m_answer.isNull()) {
        return;
    }
    m_answer->setText(toQString(line));
    m_pendingAnswer = toQString(line);
    if (m_pendingAnswer.isEmpty()) {
        m_pause->stop();
    } else {
        m_pause->start();
    }
}

void QtFindRow::step(FindStep step) const
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

bool QtFindRow::moveFocus(QWidget *from, Direction direction)
{
    const ControlDefinition *to = neighbour(m_host.controls, nameOf(from), direction);
    if (to != nullptr) {
        m_host.widgets[static_cast<std::size_t>(to - m_host.controls.data())]->setFocus(
            Qt::OtherFocusReason);
    }
    return true;
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
    if (const std::optional<FindStep> stepping = stepOf(action)) {
        step(*stepping);
        return true;
    }
    if (const std::optional<Direction> direction = directionOf(action)) {
        return moveFocus(focused, *direction);
    }
    switch (action) {
    case KeyAction::OpenFind:
        open(m_field.isNull() ? std::string() : m_field->text().toStdString());
        return true;
    case KeyAction::CloseFind:
        close();
        return true;
    case KeyAction::CopyRecord: {
        const std::string text
            = m_handlers.copied ? m_handlers.copied(nameOf(focused)) : std::string();
        if (text.empty()) {
            return false;
        }
        QGuiApplication::clipboard()->setText(toQString(text));
        return true;
    }
    case KeyAction::ContextMenu: {
        auto *box = qobject_cast<QLineEdit *>(focused);
        if (box == nullptr) {
            return false;
        }
        contextMenu(box, box->mapToGlobal(box->rect().center()));
        return true;
    }
    default: // the form's own keys, not the find's
        return false;
    }
}

} // namespace forms
