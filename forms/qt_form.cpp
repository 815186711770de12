// SPDX-License-Identifier: MIT
// Builds Qt widgets from a form definition and adapts them to the runtime's control interface.
#include "forms/qt_form.hpp"

#include "forms/contrast.hpp"
#include "forms/runtime.hpp"
#include "forms/text_box_edit.hpp"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPixmapCache>
#include <QPushButton>
#include <QResource>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace forms {

std::string_view substituteFace(std::string_view face)
{
    // Liberation Sans keeps the widths the captions were laid out for; asking for it by name
    // also spares fontconfig a fallback search for a face that is not there.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 1> kSubstitutes {{
        {"MS Sans Serif", "Liberation Sans"},
    }};
    const auto *found = std::find_if(kSubstitutes.begin(), kSubstitutes.end(),
                                     [face](const auto &entry) { return entry.first == face; });
    return found != kSubstitutes.end() ? found->second : face;
}

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// An access key would appear where a caption holds '&'; captions are shown as they stand.
QString literalCaption(std::string_view text)
{
    return toQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

// Reads a picture in the format its name ends with. Naming the format and turning detection off
// keeps Qt from loading every image-format plugin to ask each whether it reads the file. Pictures
// from resources never change, so each is decoded once and then taken from Qt's pixmap cache.
QPixmap readPicture(const QString &path)
{
    const bool resource = path.startsWith(QLatin1String(":/"));
    const QString key = QLatin1String("forms:") + path;
    QPixmap pixmap;
    if (resource && QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    QImageReader reader(path);
    reader.setAutoDetectImageFormat(false);
    reader.setFormat(path.mid(path.lastIndexOf(QLatin1Char('.')) + 1).toLatin1());
    QImage image = reader.read();
    if (image.isNull()) {
        // A name whose ending is not its format: let Qt find out.
        return {path};
    }
    pixmap = QPixmap::fromImage(std::move(image));
    if (resource) {
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

// A picture at its natural size; on a denser screen the "@2x" variant beside it, when there is one,
// so it stays sharp.
QPixmap loadPicture(const QString &path, qreal devicePixelRatio)
{
    for (int factor = static_cast<int>(std::ceil(devicePixelRatio)); factor >= 2; --factor) {
        const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
        const QString variant = path.left(dot) + QStringLiteral("@%1x").arg(factor) + path.mid(dot);
        if (!QFile::exists(variant)) {
            continue;
        }
        QPixmap pixmap = readPicture(variant);
        if (!pixmap.isNull()) {
            pixmap.setDevicePixelRatio(factor);
            return pixmap;
        }
    }
    return readPicture(path);
}

// What a control's text is drawn on.
QPalette::ColorRole backgroundRole(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
        return QPalette::Base;
    case ControlKind::CommandButton:
        return QPalette::Button;
    case ControlKind::Label:
    case ControlKind::Frame:
    case ControlKind::Picture:
        break;
    }
    return QPalette::Window;
}

Rgb toRgb(const QColor &colour)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

QColor toQColor(Rgb colour)
{
    return {colour.red, colour.green, colour.blue};
}

// A fixed text colour as shown on `background`: exactly as defined on a light background,
// lightened to stay readable on a dark one.
QColor shownColour(const Colour &colour, const QColor &background)
{
    return toQColor(readableOn({colour.red, colour.green, colour.blue}, toRgb(background)));
}

// A frame whose caption has its own colour. The colour is given to the caption when it is drawn,
// not set in the frame's palette: a palette set on the frame would be handed down to every control
// in it as a copy of its own, and the style, which caches the pictures of buttons by palette,
// would then draw and keep each button's picture anew instead of sharing one.
class CaptionColouredFrame final : public QGroupBox {
public:
    CaptionColouredFrame(QWidget *parent, const QColor &caption)
        : QGroupBox(parent)
        , m_caption(caption)
    {
    }

protected:
    void initStyleOption(QStyleOptionGroupBox *option) const override
    {
        QGroupBox::initStyleOption(option);
        option->palette.setColor(QPalette::WindowText, m_caption);
        // What the frame derived from its palette for the caption, derived again from the colour.
        if (option->textColor.isValid()) {
            const int rgba = style()->styleHint(QStyle::SH_GroupBox_TextLabelColor, option, this);
            if (rgba != 0) {
                option->textColor = QColor::fromRgba(static_cast<QRgb>(rgba));
            }
        }
    }

private:
    QColor m_caption;
};

// On a dark palette the style draws a box's frame in a shade next to the box's own, so an empty
// box would vanish: such boxes get a border that stands out from the box.
void keepBorderOnDark(QLineEdit *edit)
{
    const Rgb base = toRgb(edit->palette().color(QPalette::Base));
    if (!isDark(base)) {
        return;
    }
    const QColor border = toQColor(readableOn({128, 128, 128}, base));
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid %1; }").arg(border.name()));
}

QPalette::ColorRole textRole(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
        return QPalette::Text;
    case ControlKind::CommandButton:
        return QPalette::ButtonText;
    case ControlKind::Label:
    case ControlKind::Frame:
    case ControlKind::Picture:
        break;
    }
    return QPalette::WindowText;
}

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

// An empty widget of the control's kind. Its text comes later, once its font is set, so Qt lays
// the text out once, in the font it is drawn in.
QWidget *createWidget(const ControlDefinition &control, QWidget *parent)
{
    switch (control.kind) {
    case ControlKind::Picture:
    case ControlKind::Label:
        return new QLabel(parent);
    case ControlKind::Frame:
        if (!control.colour.isDefault) {
            return new CaptionColouredFrame(
                parent, shownColour(control.colour, parent->palette().color(QPalette::Window)));
        }
        return new QGroupBox(parent);
    case ControlKind::TextBox:
        return new TextBoxEdit(parent);
    case ControlKind::CommandButton:
        return new QPushButton(parent);
    }
    return nullptr;
}

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
        switch (type) {
        case QAccessible::TextInterface:
            return static_cast<QAccessibleTextInterface *>(this);
        case QAccessible::EditableTextInterface:
            return edit()->isReadOnly() ? nullptr
                                        : static_cast<QAccessibleEditableTextInterface *>(this);
        default:
            return QAccessibleWidget::interface_cast(type);
        }
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

    // Text

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && edit()->hasSelectedText()) {
            *startOffset = edit()->selectionStart();
            *endOffset = edit()->selectionEnd();
        }
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
        if (endOffset < 0 || endOffset > whole.size()) {
            endOffset = static_cast<int>(whole.size());
        }
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
        constexpr int kLineEditMargin = 2; // QLineEdit's own inner horizontal margin
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
        const int count = characterCount();
        if (offset < 0 || offset > count) {
            *startOffset = *endOffset = -1;
            return {};
        }
        *startOffset = 0;
        *endOffset = count;
        return {};
    }

    // Editable text

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

// While a click handler runs, the text boxes it writes reach assistive technology as one change
// each, sent when it returns. Written one by one, each box sends four or five events (text
// removed and inserted, selection, the cursor to the end and back home); sixteen boxes make some
// eighty, and a screen reader that sees such a flood drops what it deems unimportant from its
// queue, the announcement of what the click did among it (Orca prunes beyond 50 waiting). The
// focused box, if one is, keeps its own events. Nested handlers leave the work to the outermost.
class QuietTextBoxes {
public:
    explicit QuietTextBoxes(QWidget *window)
        : m_window(window)
    {
        if (!QAccessible::isActive() || s_active != nullptr || window == nullptr) {
            return;
        }
        const auto edits = window->findChildren<QLineEdit *>();
        m_before.reserve(static_cast<std::size_t>(edits.size()));
        for (QLineEdit *edit : edits) {
            m_before.emplace_back(edit, edit->text());
        }
        s_active = this;
        m_previous = QAccessible::installUpdateHandler(&QuietTextBoxes::filter);
    }
    ~QuietTextBoxes()
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
    QuietTextBoxes(const QuietTextBoxes &) = delete;
    QuietTextBoxes &operator=(const QuietTextBoxes &) = delete;
    QuietTextBoxes(QuietTextBoxes &&) = delete;
    QuietTextBoxes &operator=(QuietTextBoxes &&) = delete;

private:
    static void filter(QAccessibleEvent *event)
    {
        if (s_active->holdsBack(event)) {
            return;
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

    [[nodiscard]] bool holdsBack(const QAccessibleEvent *event) const
    {
        switch (event->type()) {
        case QAccessible::TextInserted:
        case QAccessible::TextRemoved:
        case QAccessible::TextUpdated:
        case QAccessible::TextCaretMoved:
        case QAccessible::TextSelectionChanged:
        case QAccessible::ValueChanged:
            break;
        default:
            return false;
        }
        auto *edit = qobject_cast<QLineEdit *>(event->object());
        return edit != nullptr && edit != QApplication::focusWidget() && edit->window() == m_window;
    }

    static inline QuietTextBoxes *s_active = nullptr;
    QWidget *m_window;
    QAccessible::UpdateHandler m_previous = nullptr;
    std::vector<std::pair<QPointer<QLineEdit>, QString>> m_before;
};

// A box whose text is wider than the room it shows text in offers the whole text as its tooltip;
// one whose text fits offers none. Measured as QLineEdit lays text out: inside the frame, the
// text margins and its own two-pixel margin on each side.
void updateTextTip(QLineEdit *edit)
{
    const QString text = edit->text();
    if (text.size() > kLongTextLength) {
        // Far wider than any box, so cut off without measuring it (shaping a pasted megabyte
        // takes seconds), and a tooltip is no place for megabytes: it shows the beginning.
        constexpr qsizetype kLongTipLength = 1'000;
        edit->setToolTip(text.left(kLongTipLength) + QChar(0x2026));
        return;
    }
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.rect = edit->rect();
    frame.lineWidth = edit->hasFrame()
        ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit)
        : 0;
    constexpr int kLineEditMargin = 2;
    const QMargins margins = edit->textMargins();
    const int room
        = edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit).width()
        - margins.left() - margins.right() - 2 * kLineEditMargin;
    const bool cutOff = !text.isEmpty() && edit->fontMetrics().horizontalAdvance(text) > room;
    const QString tip = cutOff ? text : QString();
    if (edit->toolTip() != tip) {
        edit->setToolTip(tip);
    }
}

// Passes a form's resizes and its boxes' size and font changes to the form.
class FormWatcher final : public QObject {
public:
    FormWatcher(QWidget *window, std::function<void()> windowResized)
        : QObject(window)
        , m_window(window)
        , m_windowResized(std::move(windowResized))
    {
        window->installEventFilter(this);
    }

    void watchBox(QLineEdit *edit)
    {
        edit->installEventFilter(this);
        QObject::connect(edit, &QLineEdit::textChanged, this, [edit] { updateTextTip(edit); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window) {
            if (event->type() == QEvent::Resize) {
                m_windowResized();
            }
        } else if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange
                   || event->type() == QEvent::StyleChange) {
            updateTextTip(static_cast<QLineEdit *>(watched));
        }
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_windowResized;
};

// Marks a form's top-level widget, which is a plain QWidget.
constexpr const char *kFormWindowProperty = "forms_formWindow";
// Marks the empty widget through which a form announces (see QtForm::announce).
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

QWidget *createFormWindow()
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(formWindowAccessible);
        return true;
    }();
    auto *window = new QWidget(nullptr,
                               Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                                   | Qt::WindowCloseButtonHint);
    window->setProperty(kFormWindowProperty, factoryInstalled);
    return window;
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

QFont toQFont(const Font &font)
{
    QFont qfont(toQString(substituteFace(font.face)));
    qfont.setPointSizeF(font.points());
    qfont.setWeight(static_cast<QFont::Weight>(font.weight));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    return qfont;
}

QIcon iconFromPictures(std::span<const std::string_view> paths)
{
    QIcon icon;
    for (const std::string_view path : paths) {
        const QPixmap picture = readPicture(toQString(path));
        if (!picture.isNull()) {
            icon.addPixmap(picture);
        }
    }
    return icon;
}

RegisteredResources::RegisteredResources(const unsigned char *bundle)
    : m_bundle(bundle != nullptr && QResource::registerResource(bundle) ? bundle : nullptr)
{
}

RegisteredResources::~RegisteredResources()
{
    if (m_bundle != nullptr) {
        QResource::unregisterResource(m_bundle);
    }
}

QtForm::QtForm(const FormDefinition &definition, qreal logicalDpi)
    : m_definition(definition)
    , m_resources(definition.resources)
    , m_window(createFormWindow())
{
    if (logicalDpi <= 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        logicalDpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    }
    m_logicalDpi = logicalDpi;
    const auto px = [logicalDpi](Twips twips) { return twipsToPixels(twips, logicalDpi); };

    m_window->setObjectName(toQString(definition.name));
    m_window->setWindowTitle(toQString(definition.caption));
    // The designed size is the least: the window grows, never shrinks below it.
    const QSize designed(px(definition.clientWidth), px(definition.clientHeight));
    m_window->setMinimumSize(designed);
    m_window->resize(designed);
    auto *watcher = new FormWatcher(m_window, [this] { scaleToWindow(); });

    std::vector<std::pair<int, QWidget *>> tabOrder;
    // The widgets made so far, in definition order. A control's container is looked up among them
    // by definition, not by searching the window's children; one that is not there (a definition
    // that names a later or unknown frame) leaves the control in the window.
    std::vector<QWidget *> created;
    created.reserve(definition.controls.size());
    m_controls.reserve(definition.controls.size());
    for (const ControlDefinition &control : definition.controls) {
        QWidget *parent = m_window;
        if (!control.container.empty()) {
            const ControlDefinition *container
                = findDefinition(definition.controls.first(created.size()), control.container);
            if (container != nullptr) {
                parent = created[container - definition.controls.data()];
            }
        }
        QWidget *made = createWidget(control, parent);
        made->setObjectName(toQString(control.name));
        made->setGeometry(px(control.left), px(control.top), px(control.width), px(control.height));
        if (!control.font.face.empty()) {
            // Only where it differs from the font the control has from its container: each font
            // set on a widget is resolved and matched anew, one inherited is shared.
            QFont font = toQFont(control.font);
            if (font != parent->font()) {
                made->setFont(font);
            }
        }
        if (!control.colour.isDefault && control.kind != ControlKind::Frame) {
            QPalette palette = made->palette();
            palette.setColor(
                textRole(control.kind),
                shownColour(control.colour, palette.color(backgroundRole(control.kind))));
            made->setPalette(palette);
        }
        setContent(control, made);
        made->setAccessibleName(toQString(accessibleName(control)));
        made->setAccessibleDescription(toQString(control.accessibleDescription));
        if (takesFocus(control.kind)) {
            made->setFocusPolicy(Qt::StrongFocus);
            tabOrder.emplace_back(control.tabIndex, made);
        } else {
            made->setFocusPolicy(Qt::NoFocus);
        }

        if (control.kind == ControlKind::TextBox) {
            keepBorderOnDark(static_cast<QLineEdit *>(made));
            // Its tooltip is worked out when it is first sized, as the window is shown.
            watcher->watchBox(static_cast<QLineEdit *>(made));
            m_controls.push_back(
                std::make_unique<QtTextBox>(control.name, static_cast<QLineEdit *>(made)));
        } else {
            m_controls.push_back(std::make_unique<QtControl>(control.name, made));
        }
        created.push_back(made);
    }
    m_widgets = std::move(created);

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
    // change to the focused control's own properties is not heard.) The notification is an
    // empty widget of no size, made on the first announcement, so it costs nothing at start-up.
    if (m_announcer.isNull()) {
        m_announcer = new QWidget(m_window);
        m_announcer->setProperty(kAnnouncerProperty, true);
        m_announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_announcer->setFocusPolicy(Qt::NoFocus);
        m_announcer->setGeometry(0, 0, 0, 0);
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
    const QSize size = m_window->size();
    const qreal scale
        = std::max(1.0,
                   std::min(size.width() / static_cast<qreal>(px(m_definition.clientWidth, 1)),
                            size.height() / static_cast<qreal>(px(m_definition.clientHeight, 1))));
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
            auto *picture = static_cast<QLabel *>(widget);
            QPixmap pixmap
                = loadPicture(toQString(control.picture), widget->devicePixelRatioF() * scale);
            const QSize natural = pixmap.deviceIndependentSize().toSize();
            const qreal ratio = pixmap.devicePixelRatio();
            pixmap = pixmap.scaled(natural * scale * ratio, Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation);
            pixmap.setDevicePixelRatio(ratio);
            picture->setPixmap(pixmap);
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
