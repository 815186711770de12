// SPDX-License-Identifier: MIT
// A form's window built from its definition, the runtime's adapters to its controls, and its
// scaling to the screen it opens on and as the window is resized.
#include "forms/qt/qt_form.hpp"

#include "forms/core/controls.hpp"
#include "forms/qt/accessibility.hpp"
#include "forms/start/runtime.hpp"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

#include <xcb/xproto.h>

#include <utility>

namespace forms {

namespace {

class QtTextBox final : public CheckedTextBox {
public:
    QtTextBox(std::string_view name, QLineEdit *edit)
        : CheckedTextBox(std::string(name))
        , m_edit(edit)
    {
    }

protected:
    [[nodiscard]] bool present() const override { return !m_edit.isNull(); }
    [[nodiscard]] std::string rawText() const override { return m_edit->text().toStdString(); }
    void setRawText(std::string_view text) override { m_edit->setText(toQString(text)); }
    void showBeginning() override { m_edit->setCursorPosition(0); } // which deselects as well

private:
    QPointer<QLineEdit> m_edit;
};

} // namespace

// The form's top-level window, a plain widget that hands the form the events it follows: its
// resizes, a move to another screen, a change of palette or style, and its destruction by another
// client.
class FormWindow final : public QWidget {
public:
    explicit FormWindow(QtForm &form) // with the title bar's every button, as Qt gives one
        : m_form(form)
    {
        markFormWindow(this);
    }

protected:
    bool event(QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Resize:
            m_form.scaleToWindow();
            if (!m_form.m_findRow.isNull()) {
                m_form.m_findRow->layOut();
            }
            break;
        case QEvent::Show:
            // The screen belongs to the native window, made at the first show (the screen it is
            // made on is no move); a native window made again is followed from its own show.
            connect(windowHandle(), &QWindow::screenChanged, this, &FormWindow::screenChanged,
                    Qt::UniqueConnection);
            break;
        case QEvent::PaletteChange:
        case QEvent::ApplicationPaletteChange:
        case QEvent::StyleChange:
            // Widgets hear of a new palette in no set order (a box perhaps before its window), and
            // a box with a style sheet hears nothing when the application's changes: the colours
            // are worked out when the change has reached every widget, once however many came.
            if (!m_recolouring) {
                m_recolouring = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        m_recolouring = false;
                        for (std::size_t i = 0; i < m_form.m_widgets.size(); ++i) {
                            keepReadable(m_form.m_widgets[i], m_form.m_definition.controls[i]);
                        }
                    },
                    Qt::QueuedConnection);
            }
            break;
        default:
            break;
        }
        return QWidget::event(event);
    }

    // The scroll area's content, once there is one, is laid out again as it is resized.
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            m_form.scaleToWindow();
        }
        return false;
    }

    // On X any client may destroy any window (`xdotool windowclose`); Qt would run on with nothing
    // on screen. Qt selects its windows' structure events and hands each window its own, so this
    // ends the event loop (status 0) when the server says this one was destroyed; the program's
    // own destruction of it takes its events with it. The top bit marks an event sent by a client
    // rather than the server: a forged one ends nothing. Elsewhere only the program can do that.
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr * /*result*/) override
    {
        if (eventType == "xcb_generic_event_t"
            && static_cast<const xcb_generic_event_t *>(message)->response_type
                == XCB_DESTROY_NOTIFY
            && static_cast<const xcb_destroy_notify_event_t *>(message)->window
                == internalWinId()) {
            QCoreApplication::exit(0);
        }
        return false;
    }

private:
    // After a move the platform reports the geometry in the old screen's device pixels, another
    // size on a screen of another scale: the factor from before is kept, and the window shaped
    // again once that report is in.
    void screenChanged()
    {
        QMetaObject::invokeMethod(
            this, [this, kept = m_form.m_scale] { m_form.fitToScreen(kept); },
            Qt::QueuedConnection);
    }

    QtForm &m_form;
    bool m_recolouring = false; // a change of colours is waiting to be worked out
};

QtForm::QtForm(const FormDefinition &definition, qreal logicalDpi)
    : m_definition(definition)
    , m_resources(registerResources(definition.resources))
    , m_window(new FormWindow(*this))
    , m_logicalDpi(logicalDpi > 0 ? logicalDpi : 96)
    , m_dpiFromScreen(logicalDpi <= 0)
{
    m_window->setObjectName(toQString(m_definition.name));
    m_window->setWindowTitle(toQString(m_definition.caption));
    // The form's font is fixed on the window once, so its controls inherit the definition's font
    // and not the application's, which a desktop theme sets, and may set again while it runs.
    if (!m_definition.font.face.empty()) {
        m_window->setFont(toQFont(m_definition.font));
    }
    // On a screen too small for the designed size (a laptop at 150 %, a netbook), the window
    // opens as large as fits, frame included, and is laid out smaller in proportion. The frame is
    // not known before the window is shown: the style's title bar and a border on every side.
    QSize room(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const QScreen *screen = m_window->screen()) {
        if (m_dpiFromScreen) {
            m_logicalDpi = screen->logicalDotsPerInch();
        }
        const QStyle *style = m_window->style();
        const int border = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
        room = screen->availableGeometry().size()
            - QSize(2 * border, style->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
    }
    resizeWithin(1.0, room);
    const std::span<const ControlDefinition> controls = m_definition.controls;
    const auto parents = containers(controls);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlDefinition &control = controls[i];
        QWidget *parent = parents[i] ? m_widgets[*parents[i]] : m_window.data();
        QWidget *made = createControlWidget(control, parent, m_logicalDpi);
        m_controls.push_back(
            control.kind == ControlKind::TextBox
                ? std::make_unique<QtTextBox>(control.name, static_cast<QLineEdit *>(made))
                : std::make_unique<Control>(std::string(control.name)));
        m_widgets.push_back(made);
    }
    const std::vector<std::size_t> order = tabOrder(controls);
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(m_widgets[order[i - 1]], m_widgets[order[i]]);
    }
    m_findRow = new QtFindRow(*this);
}

QSize QtForm::sizeAt(qreal scale) const
{
    return {twipsToPixels(m_definition.clientWidth, m_logicalDpi, scale),
            twipsToPixels(m_definition.clientHeight, m_logicalDpi, scale)};
}

void QtForm::resizeWithin(qreal most, QSize room)
{
    const QSize designed = sizeAt(1.0);
    const qreal scale = std::min(
        most, scaleForClientArea(room.width(), room.height(), designed.width(), designed.height()));
    room = room.expandedTo(QSize(1, 1));
    QSize wanted = sizeAt(scale);
    // Where even the least scale does not fit, the content scrolls: the window takes what room
    // there is, and a scroll bar's width across the direction that scrolls, so the other need not.
    const int bar = m_window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_window);
    if (wanted.height() > room.height()) {
        wanted.rwidth() += bar;
    }
    if (wanted.width() > room.width()) {
        wanted.rheight() += bar;
    }
    m_window->setMinimumSize(sizeAt(kSmallestScale).boundedTo(room));
    m_window->resize(wanted.boundedTo(room));
}

void QtForm::fitToScreen(qreal kept)
{
    const QScreen *screen = m_window->screen(); // the call's window is there: it was queued on it
    if (screen == nullptr) {
        return;
    }
    if (m_dpiFromScreen) {
        m_logicalDpi = screen->logicalDotsPerInch();
    }
    const QRect frame = m_window->frameGeometry();
    const QSize frameRoom = frame.size() - m_window->size();
    const QRect available = screen->availableGeometry();
    // Laid out again even where the size comes out the same: the pictures are drawn for the new
    // screen's density. A maximised or full-screen window keeps the size the screen gives it.
    m_scale = 0;
    if ((m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0) {
        scaleToWindow();
        return;
    }
    resizeWithin(kept, available.size() - frameRoom);
    scaleToWindow();
    // The frame is kept on the screen it was moved to, as far as it fits there.
    const QSize framed = m_window->size() + frameRoom;
    const int x = std::max(available.left(),
                           std::min(frame.left(), available.right() + 1 - framed.width()));
    const int y = std::max(available.top(),
                           std::min(frame.top(), available.bottom() + 1 - framed.height()));
    if (QPoint(x, y) != frame.topLeft()) {
        m_window->move(x, y);
    }
}

QtForm::~QtForm()
{
    delete m_window.data(); // the controls' adapters watch their widgets through guarded pointers
}

Control *QtForm::findControl(std::string_view name)
{
    const auto at = controlIndex(m_definition.controls, name);
    return at ? m_controls[*at].get() : nullptr;
}

QWidget *QtForm::widget(std::string_view name) const
{
    return m_window.isNull() ? nullptr : m_window->findChild<QWidget *>(toQString(name));
}

bool QtForm::onClick(std::string_view control, std::function<void()> handler)
{
    // Found among the controls made, not by searching the window's children by name.
    const auto at = controlIndex(m_definition.controls, control, ControlKind::CommandButton);
    auto *button = at ? qobject_cast<QAbstractButton *>(m_widgets[*at]) : nullptr;
    if (button == nullptr) {
        return false;
    }
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this, handler = std::move(handler)] { runHandler(handler); });
    return true;
}

void QtForm::runHandler(const std::function<void()> &handler) const
{
    const QuietTextBoxes quiet(m_window);
    forms::runHandler(handler, reportUntrappedError);
}

void QtForm::scaleToWindow()
{
    const QSize designed = sizeAt(1.0);
    const QSize least = sizeAt(kSmallestScale);
    // Where the window is smaller than the least scale's size, its controls move into a scroll area
    // that fills it, rather than lie beyond its edges.
    if (m_scroller.isNull()
        && (m_window->width() < least.width() || m_window->height() < least.height())) {
        m_scroller = new QScrollArea(m_window);
        m_scroller->setFrameShape(QFrame::NoFrame);
        m_scroller->setFocusPolicy(Qt::NoFocus);
        m_scroller->setWidgetResizable(true);
        auto *content = new QWidget;
        m_scroller->setWidget(content);
        // Within the one window the controls keep their tab order; the scroll area brings the
        // focused one into view.
        for (QWidget *widget : m_widgets) {
            if (widget->parentWidget() == m_window) {
                widget->setParent(content);
                widget->show(); // a control is never hidden
            }
        }
        m_scroller->show();
        content->installEventFilter(m_window);
    }
    // An open find row adds its height under the controls; they keep the rest.
    const QSize window
        = m_window->size() - QSize(0, m_findRow.isNull() ? 0 : m_findRow->addedHeight());
    QWidget *surface = m_window;
    QSize room = window;
    if (!m_scroller.isNull()) {
        m_scroller->setGeometry(QRect(QPoint(), window));
        room = m_scroller->maximumViewportSize();
        surface = m_scroller->widget();
    }
    const qreal scale
        = scaleForClientArea(room.width(), room.height(), designed.width(), designed.height());
    const QSize laidOut = sizeAt(scale);
    if (!m_scroller.isNull()) {
        // The scroll area makes the content as large as its view, and no smaller than this.
        surface->setMinimumSize(laidOut);
    }
    const QSize size = surface == m_window ? window : surface->size();
    const QPoint margin(std::max(0, (size.width() - laidOut.width()) / 2),
                        std::max(0, (size.height() - laidOut.height()) / 2));
    if (scale == m_scale && margin == m_margin) {
        return; // at the designed size this is where the first show ends
    }
    m_scale = scale;
    m_margin = margin;
    for (std::size_t i = 0; i < m_widgets.size(); ++i) {
        QWidget *widget = m_widgets[i];
        placeControl(widget, m_definition.controls[i], m_logicalDpi, scale,
                     widget->parentWidget() == surface ? margin : QPoint());
    }
}

void QtForm::show()
{
    if (const std::vector<std::size_t> order = tabOrder(m_definition.controls); !order.empty()) {
        m_widgets[order.front()]->setFocus(Qt::OtherFocusReason);
    }
    m_window->show();
}

} // namespace forms
