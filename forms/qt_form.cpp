// SPDX-License-Identifier: MIT
// Builds Qt widgets from a form definition and adapts them to the runtime's control interface.
#include "forms/qt_form.hpp"

#include "forms/runtime.hpp"
#include "forms/text_box_edit.hpp"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFile>
#include <QFont>
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
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace forms {

int twipsToPixels(Twips twips, qreal logicalDpi)
{
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

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

QColor toQColor(const Colour &colour)
{
    return {colour.red, colour.green, colour.blue};
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
            return new CaptionColouredFrame(parent, toQColor(control.colour));
        }
        return new QGroupBox(parent);
    case ControlKind::TextBox:
        return new TextBoxEdit(parent);
    case ControlKind::CommandButton:
        return new QPushButton(parent);
    }
    return nullptr;
}

// Marks a form's top-level widget, which is a plain QWidget.
constexpr const char *kFormWindowProperty = "forms_formWindow";

// Qt tells assistive technology that a plain QWidget is a client area ("filler"), even as a
// top-level window; a screen reader announces a window by its role, so a form's is a window.
QAccessibleInterface *formWindowAccessible(const QString & /*className*/, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget != nullptr && widget->isWindow() && widget->property(kFormWindowProperty).toBool()) {
        return new QAccessibleWidget(widget, QAccessible::Window);
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
                                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
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
    const auto px = [logicalDpi](Twips twips) { return twipsToPixels(twips, logicalDpi); };

    m_window->setObjectName(toQString(definition.name));
    m_window->setWindowTitle(toQString(definition.caption));
    m_window->setFixedSize(px(definition.clientWidth), px(definition.clientHeight));

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
            palette.setColor(textRole(control.kind), toQColor(control.colour));
            made->setPalette(palette);
        }
        setContent(control, made);
        made->setAccessibleName(
            toQString(control.accessibleName.empty() ? control.text : control.accessibleName));
        made->setAccessibleDescription(toQString(control.accessibleDescription));
        if (takesFocus(control.kind)) {
            made->setFocusPolicy(Qt::StrongFocus);
            tabOrder.emplace_back(control.tabIndex, made);
        } else {
            made->setFocusPolicy(Qt::NoFocus);
        }

        if (control.kind == ControlKind::TextBox) {
            m_controls.push_back(
                std::make_unique<QtTextBox>(control.name, static_cast<QLineEdit *>(made)));
        } else {
            m_controls.push_back(std::make_unique<QtControl>(control.name, made));
        }
        created.push_back(made);
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
    QObject::connect(button, &QAbstractButton::clicked, button, [handler = std::move(handler)] {
        try {
            handler();
        } catch (const std::exception &error) {
            reportUntrappedError(error);
        }
    });
    return true;
}

void QtForm::show()
{
    if (m_firstFocus != nullptr) {
        m_firstFocus->setFocus(Qt::OtherFocusReason);
    }
    m_window->show();
}

} // namespace forms
