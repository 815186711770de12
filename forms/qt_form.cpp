// SPDX-License-Identifier: MIT
// Builds Qt widgets from a form definition and adapts them to the runtime's control interface.
#include "forms/qt_form.hpp"

#include "forms/runtime.hpp"

#include <QAbstractButton>
#include <QFile>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QResource>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
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
// keeps Qt from loading every image-format plugin to ask each whether it reads the file.
QPixmap readPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoDetectImageFormat(false);
    reader.setFormat(path.mid(path.lastIndexOf(QLatin1Char('.')) + 1).toLatin1());
    QImage image = reader.read();
    if (image.isNull()) {
        // A name whose ending is not its format: let Qt find out.
        return QPixmap(path);
    }
    return QPixmap::fromImage(std::move(image));
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

// Makes a form's pictures reachable by their ":/" paths. The bundle is the program's own constant
// data, so it stays registered for the life of the process, once however many forms are built.
void registerResources(const unsigned char *bundle)
{
    static std::vector<const unsigned char *> registered;
    if (bundle == nullptr
        || std::find(registered.begin(), registered.end(), bundle) != registered.end()) {
        return;
    }
    if (QResource::registerResource(bundle)) {
        registered.push_back(bundle);
    }
}

QFont toQFont(const Font &font)
{
    QFont qfont(toQString(substituteFace(font.face)));
    qfont.setPointSizeF(font.points());
    qfont.setWeight(static_cast<QFont::Weight>(font.weight));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    return qfont;
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
        m_edit->setText(value);
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

QWidget *createWidget(const ControlDefinition &control, QWidget *parent)
{
    switch (control.kind) {
    case ControlKind::Picture: {
        auto *picture = new QLabel(parent);
        picture->setPixmap(loadPicture(toQString(control.picture), parent->devicePixelRatioF()));
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
        auto *frame = new QGroupBox(literalCaption(control.text), parent);
        // A frame is opaque: it hides what lies under it, such as the foot of the picture.
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
        auto *button = new QPushButton(literalCaption(control.text), parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    }
    return nullptr;
}

} // namespace

QtForm::QtForm(const FormDefinition &definition, qreal logicalDpi)
    : m_definition(definition)
    , m_window(new QWidget(nullptr,
                           Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                               | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint))
{
    if (logicalDpi <= 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        logicalDpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    }
    const auto px = [logicalDpi](Twips twips) { return twipsToPixels(twips, logicalDpi); };
    registerResources(definition.resources);

    m_window->setObjectName(toQString(definition.name));
    m_window->setWindowTitle(toQString(definition.caption));
    m_window->setFixedSize(px(definition.clientWidth), px(definition.clientHeight));

    std::vector<std::pair<int, QWidget *>> tabOrder;
    m_controls.reserve(definition.controls.size());
    for (const ControlDefinition &control : definition.controls) {
        QWidget *parent = m_window;
        if (!control.container.empty()) {
            parent = widget(control.container);
        }
        QWidget *created = createWidget(control, parent);
        created->setObjectName(toQString(control.name));
        created->setGeometry(px(control.left), px(control.top), px(control.width),
                             px(control.height));
        if (!control.font.face.empty()) {
            // Set on every control, so nothing inherits its container's font.
            created->setFont(toQFont(control.font));
        }
        if (!control.colour.isDefault) {
            QPalette palette = created->palette();
            palette.setColor(textRole(control.kind),
                             QColor(control.colour.red, control.colour.green, control.colour.blue));
            created->setPalette(palette);
        }
        created->setAccessibleName(
            toQString(control.accessibleName.empty() ? control.text : control.accessibleName));
        created->setAccessibleDescription(toQString(control.accessibleDescription));
        if (takesFocus(control.kind)) {
            created->setFocusPolicy(Qt::StrongFocus);
            tabOrder.emplace_back(control.tabIndex, created);
        } else {
            created->setFocusPolicy(Qt::NoFocus);
        }

        if (control.kind == ControlKind::TextBox) {
            m_controls.push_back(
                std::make_unique<QtTextBox>(control.name, static_cast<QLineEdit *>(created)));
        } else {
            m_controls.push_back(std::make_unique<QtControl>(control.name, created));
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
    auto *button = qobject_cast<QAbstractButton *>(widget(control));
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
