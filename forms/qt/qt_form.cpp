// SPDX-License-Identifier: MIT
// A form's window built from its definition, the runtime's adapters to its controls, and its
// scaling to the screen it opens on and as the window is resized.
#include "forms/qt/qt_form.hpp"

#include "forms/qt/accessibility.hpp"
#include "forms/qt/keyboard.hpp"
#include "forms/start/runtime.hpp"

#include <QAbstractButton>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <utility>

namespace forms {

namespace {

class QtTextBox final : public TextBox {
public:
    QtTextBox(std::string_view name, QLineEdit *edit)
        : TextBox(std::string(name))
        , m_edit(edit)
    {
    }

    ResultCode setText(std::string_view text) override
    {
        if (m_edit.isNull()) {
            return ResultCode::ObjectRequired;
        }
        const QString value = toQString(text);
        if (m_edit->text() != value) {
            m_edit->setText(value);
        } else {
            // The box already holds the text: writing it again would only move the cursor to the
            // end and back, and repaint a box that shows nothing new.
            m_edit->deselect();
        }
        // A long text shows its beginning, as a box that was just filled should.
        m_edit->setCursorPosition(0);
        // The box may refuse or alter the text (a length limit, a validator): only the exact text
        // counts as written.
        return m_edit->text() == value ? ResultCode::Ok : ResultCode::InvalidPropertyValue;
    }

    [[nodiscard]] std::string text() const override
    {
        return m_edit.isNull() ? std::string() : m_edit->text().toStdString();
    }

private:
    QPointer<QLineEdit> m_edit;
};

// Any other control: known by name, and by its widget to the runtime (a button's click).
class QtControl final : public Control {
public:
    QtControl(std::string_view name, QWidget *widget)
        : Control(std::string(name))
        , m_widget(widget)
    {
    }
    [[nodiscard]] QWidget *widget() const { return m_widget; }

private:
    QPointer<QWidget> m_widget;
};

// Passes a window's resizes to the form.
class ResizeWatcher final : public QObject {
public:
    ResizeWatcher(QWidget *window, std::function<void()> resized)
        : QObject(window)
        , m_resized(std::move(resized))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            m_resized();
        }
        return false;
    }

private:
    std::function<void()> m_resized;
};

// The room a window manager's frame takes round the client area, before the window is shown and
// the frame is known: the style's title bar and a border on every side.
QSize frameAllowance(const QWidget *window)
{
    const QStyle *style = window->style();
    const int border = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return {2 * border, style->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border};
}

qreal primaryScreenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
}

} // namespace

QtForm::QtForm(const FormDefinition &definition, qreal logicalDpi)
    : m_definition(definition)
    , m_resources(definition.resources)
    , m_window(createFormWindow())
    , m_logicalDpi(logicalDpi > 0 ? logicalDpi : primaryScreenDpi())
{
    shapeWindow();
    new ResizeWatcher(m_window, [this] {
        scaleToWindow();
        if (!m_findRow.isNull()) {
            m_findRow->layOut();
        }
    });
    createControls();
    chainTabOrder();
    bindKeys(m_window, m_widgets);
    m_findRow = new QtFindRow({.window = m_window,
                               .clientWidth = m_definition.clientWidth,
                               .controls = m_definition.controls,
                               .widgets = m_widgets,
                               .logicalDpi = m_logicalDpi,
                               .scale = [this] { return m_scale; },
                               .announce = [this](std::string_view line) { announce(line); }});
}

void QtForm::shapeWindow()
{
    m_window->setObjectName(toQString(m_definition.name));
    m_window->setWindowTitle(toQString(m_definition.caption));
    // The form's font is fixed on the window once, so its controls inherit the definition's font
    // and not the application's, which a desktop theme sets, and may set again while it runs.
    if (!m_definition.font.face.empty()) {
        m_window->setFont(toQFont(m_definition.font));
    }
    const auto size = [this](qreal scale) {
        return QSize(twipsToPixels(m_definition.clientWidth, m_logicalDpi, scale),
                     twipsToPixels(m_definition.clientHeight, m_logicalDpi, scale));
    };
    m_window->setMinimumSize(size(kSmallestScale));
    // On a screen too small for the designed size (a laptop at 150 %, a netbook), the window
    // opens as large as fits, frame included, and is laid out smaller in proportion.
    qreal scale = 1.0;
    if (const QScreen *screen = m_window->screen()) {
        const QSize room = screen->availableGeometry().size() - frameAllowance(m_window);
        const QSize designed = size(1.0);
        scale = openingScale(designed.width(), designed.height(), room.width(), room.height());
    }
    m_window->resize(size(scale));
}

void QtForm::createControls()
{
    const std::span<const ControlDefinition> controls = m_definition.controls;
    m_widgets.reserve(controls.size());
    m_controls.reserve(controls.size());
    for (const ControlDefinition &control : controls) {
        // A control's container is looked up among the widgets made so far by definition, not by
        // searching the window's children; one that is not there (a definition that names a
        // later or unknown frame) leaves the control in the window.
        QWidget *parent = m_window;
        if (!control.container.empty()) {
            const ControlDefinition *container
                = findDefinition(controls.first(m_widgets.size()), control.container);
            if (container != nullptr) {
                parent = m_widgets[container - controls.data()];
            }
        }
        QWidget *made = createControlWidget(control, parent, m_logicalDpi);
        if (control.kind == ControlKind::TextBox) {
            m_controls.push_back(
                std::make_unique<QtTextBox>(control.name, static_cast<QLineEdit *>(made)));
        } else {
            m_controls.push_back(std::make_unique<QtControl>(control.name, made));
        }
        m_widgets.push_back(made);
    }
}

void QtForm::chainTabOrder()
{
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (std::size_t i = 0; i < m_widgets.size(); ++i) {
        const ControlDefinition &control = m_definition.controls[i];
        if (takesFocus(control.kind)) {
            tabOrder.emplace_back(control.tabIndex, m_widgets[i]);
        }
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    }
    m_firstFocus = tabOrder.empty() ? nullptr : tabOrder.front().second;
}

QtForm::~QtForm()
{
    // The controls' adapters watch their widgets through guarded pointers; the window goes last.
    m_controls.clear();
    delete m_window.data();
}

std::string_view QtForm::name() const
{
    return m_definition.name;
}

Control *QtForm::findControl(std::string_view name)
{
    const auto found
        = std::find_if(m_controls.begin(), m_controls.end(),
                       [name](const auto &control) { return control->name() == name; });
    return found != m_controls.end() ? found->get() : nullptr;
}

QWidget *QtForm::widget(std::string_view name) const
{
    if (m_window.isNull()) {
        return nullptr;
    }
    return m_window->findChild<QWidget *>(toQString(name));
}

bool QtForm::onClick(std::string_view control, std::function<void()> handler)
{
    // Found among the controls made, not by searching the window's children by name.
    const auto *made = dynamic_cast<const QtControl *>(findControl(control));
    auto *button = qobject_cast<QAbstractButton *>(made != nullptr ? made->widget() : nullptr);
    if (button == nullptr) {
        return false;
    }
    // Handlers trap nothing: an error that leaves one ends here, reported, and ends the program.
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [button, handler = std::move(handler)] {
                         const QuietTextBoxes quiet(button->window());
                         try {
                             handler();
                         } catch (const std::exception &error) {
                             reportUntrappedError(error);
                         }
                     });
    return true;
}

void QtForm::announce(std::string_view message)
{
    if (m_window.isNull()) {
        return;
    }
    // A screen reader speaks a notification as it appears, wherever the focus is, and leaves the
    // focus where it was. (Qt 6.4 sends a changed name or description without its new text, so a
    // change to the focused control's own properties is not heard.) The notification is made on
    // the first announcement, so it costs nothing at start-up.
    if (m_announcer.isNull()) {
        m_announcer = createAnnouncer(m_window);
    }
    m_announcer->hide();
    m_announcer->setAccessibleName(toQString(message));
    m_announcer->show();
}

void QtForm::scaleToWindow()
{
    if (m_window.isNull()) {
        return;
    }
    const auto px
        = [this](Twips twips, qreal scale) { return twipsToPixels(twips, m_logicalDpi, scale); };
    // One factor for both directions keeps the designed proportions; the window's other
    // direction has room to spare, shared equally on both sides.
    // An open find row adds its height under the controls; they keep the rest.
    const QSize size
        = m_window->size() - QSize(0, m_findRow.isNull() ? 0 : m_findRow->addedHeight(m_scale));
    const qreal scale
        = scaleForClientArea(size.width(), size.height(), px(m_definition.clientWidth, 1),
                             px(m_definition.clientHeight, 1));
    if (scale == m_scale) {
        return; // at the designed size this is where the first show ends
    }
    m_scale = scale;
    const QPoint margin((size.width() - px(m_definition.clientWidth, scale)) / 2,
                        (size.height() - px(m_definition.clientHeight, scale)) / 2);
    for (std::size_t i = 0; i < m_widgets.size(); ++i) {
        const ControlDefinition &control = m_definition.controls[i];
        QWidget *widget = m_widgets[i];
        const QPoint offset = widget->parentWidget() == m_window ? margin : QPoint();
        widget->setGeometry(QRect(QPoint(px(control.left, scale), px(control.top, scale)) + offset,
                                  QSize(px(control.width, scale), px(control.height, scale))));
        if (!control.font.face.empty()) {
            QFont font = toQFont(control.font);
            font.setPointSizeF(control.font.points() * scale);
            widget->setFont(font);
        }
        if (control.kind == ControlKind::Picture) {
            static_cast<QLabel *>(widget)->setPixmap(
                scaledPicture(toQString(control.picture), widget->devicePixelRatioF(), scale));
        }
    }
}

void QtForm::show()
{
    if (m_firstFocus != nullptr) {
        m_firstFocus->setFocus(Qt::OtherFocusReason);
    }
    m_window->show();
}

} // namespace forms
