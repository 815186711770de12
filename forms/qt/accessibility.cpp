// SPDX-License-Identifier: MIT
// The accessible side of a form (see accessibility.hpp), its announcements among them.
#include "forms/qt/accessibility.hpp"

#include "forms/qt/qt_form.hpp"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>

#include <algorithm>
#include <array>

namespace forms {

namespace {

// A text box as assistive technology reads it. Qt's own interface for a line edit reports every
// text attribute run as empty (from the asked offset to itself); Orca assembles what it speaks
// from those runs and then drops a box's last character. The boxes carry no formatting, so here
// one run spans the whole text.
class AccessibleTextBox final : public QAccessibleWidget,
                                public QAccessibleTextInterface,
                                public QAccessibleEditableTextInterface {
public:
    explicit AccessibleTextBox(QLineEdit *edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface *>(this);
        }
        if (type == QAccessible::EditableTextInterface && !edit()->isReadOnly()) {
            return static_cast<QAccessibleEditableTextInterface *>(this);
        }
        return QAccessibleWidget::interface_cast(type); // nothing for a read-only box's editing
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !edit()->isReadOnly();
        state.readOnly = edit()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    [[nodiscard]] QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? edit()->text() : QAccessibleWidget::text(type);
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        const bool selected = selectionIndex == 0 && edit()->hasSelectedText();
        *startOffset = selected ? edit()->selectionStart() : 0;
        *endOffset = selected ? edit()->selectionEnd() : 0;
    }
    [[nodiscard]] int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0) {
            edit()->deselect();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0) {
            edit()->setSelection(startOffset, endOffset - startOffset);
        }
    }
    [[nodiscard]] int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    [[nodiscard]] QString text(int startOffset, int endOffset) const override
    {
        const QString whole = edit()->text();
        const int size = static_cast<int>(whole.size());
        endOffset = endOffset < 0 ? size : std::min(endOffset, size);
        startOffset = std::clamp(startOffset, 0, endOffset);
        return whole.mid(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int characterCount() const override
    {
        return static_cast<int>(edit()->text().size());
    }
    [[nodiscard]] QRect characterRect(int offset) const override
    {
        // Measured from the start of the text as the box shows it when filled (scrolled home).
        const QString whole = edit()->text();
        if (offset < 0 || offset >= whole.size()) {
            return {};
        }
        const QFontMetrics metrics = edit()->fontMetrics();
        const QRect contents = edit()->contentsRect();
        const int left
            = contents.left() + kLineEditMargin + metrics.horizontalAdvance(whole.left(offset));
        const int top = contents.top() + (contents.height() - metrics.height()) / 2;
        const QRect local(left, top, metrics.horizontalAdvance(whole.at(offset)), metrics.height());
        return {edit()->mapToGlobal(local.topLeft()), local.size()};
    }
    [[nodiscard]] int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = edit()->mapFromGlobal(point);
        return edit()->rect().contains(local) ? edit()->cursorPositionAt(local) : -1;
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }
    [[nodiscard]] QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        const bool inside = offset >= 0 && offset <= characterCount();
        *startOffset = inside ? 0 : -1;
        *endOffset = inside ? characterCount() : -1;
        return {};
    }

    void deleteText(int startOffset, int endOffset) override
    {
        replaceText(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        QString whole = edit()->text();
        endOffset = std::clamp(endOffset, 0, static_cast<int>(whole.size()));
        startOffset = std::clamp(startOffset, 0, endOffset);
        whole.replace(startOffset, endOffset - startOffset, text);
        edit()->setText(whole);
        edit()->setCursorPosition(startOffset + static_cast<int>(text.size()));
    }

private:
    [[nodiscard]] QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
};

// Marks a form's top-level widget, which is a plain QWidget.
constexpr const char *kFormWindowProperty = "forms_formWindow";
// Marks the empty widget through which a form announces.
constexpr const char *kAnnouncerProperty = "forms_announcer";

// Qt tells assistive technology that a plain QWidget is a client area ("filler"), even as a
// top-level window; a screen reader announces a window by its role, so a form's is a window.
// A form's text boxes read their whole text (see AccessibleTextBox).
QAccessibleInterface *formWindowAccessible(const QString & /*className*/, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (widget->isWindow() && widget->property(kFormWindowProperty).toBool()) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    if (widget->property(kAnnouncerProperty).toBool()) {
        return new QAccessibleWidget(widget, QAccessible::Notification);
    }
    auto *edit = qobject_cast<QLineEdit *>(widget);
    if (edit != nullptr && edit->echoMode() == QLineEdit::Normal
        && edit->window()->property(kFormWindowProperty).toBool()) {
        return new AccessibleTextBox(edit);
    }
    return nullptr;
}

} // namespace

void markFormWindow(QWidget *window)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(formWindowAccessible);
        return true;
    }();
    window->setProperty(kFormWindowProperty, factoryInstalled);
}

void QtForm::announce(std::string_view message)
{
    if (m_window.isNull()) {
        return;
    }
    // A screen reader speaks a notification as it appears and leaves the focus where it was (Qt
    // 6.4 sends a changed name or description without its new text, so the focused control's own
    // would not be heard). Made on the first announcement, it costs nothing at start-up.
    if (m_announcer.isNull()) {
        m_announcer = new QWidget(m_window);
        m_announcer->setProperty(kAnnouncerProperty, true);
        m_announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_announcer->setGeometry(0, 0, 0, 0);
    }
    m_announcer->hide();
    m_announcer->setAccessibleName(toQString(message));
    m_announcer->show();
}

QuietTextBoxes::QuietTextBoxes(QWidget *window)
    : m_window(window)
{
    if (!QAccessible::isActive() || s_active != nullptr || window == nullptr) {
        return;
    }
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        m_before.emplace_back(edit, edit->text());
    }
    s_active = this;
    m_previous = QAccessible::installUpdateHandler(&QuietTextBoxes::filter);
}

QuietTextBoxes::~QuietTextBoxes()
{
    if (s_active != this) {
        return;
    }
    QAccessible::installUpdateHandler(m_previous);
    s_active = nullptr;
    for (const auto &[edit, before] : m_before) {
        if (!edit.isNull() && edit != QApplication::focusWidget() && edit->text() != before) {
            QAccessibleTextUpdateEvent event(edit, 0, before, edit->text());
            QAccessible::updateAccessibility(&event);
        }
    }
}

void QuietTextBoxes::filter(QAccessibleEvent *event)
{
    constexpr std::array kTextEvents {
        QAccessible::TextInserted,   QAccessible::TextRemoved,          QAccessible::TextUpdated,
        QAccessible::TextCaretMoved, QAccessible::TextSelectionChanged, QAccessible::ValueChanged};
    auto *edit = qobject_cast<QLineEdit *>(event->object());
    if (std::ranges::find(kTextEvents, event->type()) != kTextEvents.end() && edit != nullptr
        && edit != QApplication::focusWidget() && edit->window() == s_active->m_window) {
        return; // held back
    }
    if (s_active->m_previous != nullptr) {
        s_active->m_previous(event);
        return;
    }
    // Qt's own delivery runs only while no handler is installed.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&QuietTextBoxes::filter);
}

} // namespace forms
