// SPDX-License-Identifier: MIT
// The click and the form's creation, each against a plain-Qt baseline in the same binary, on the
// offscreen platform. The baselines do the same visible work with direct Qt calls, so the
// difference between a pair is what the forms runtime itself costs.
#include "catalogue/selection.hpp"
#include "forms/core/find_row.hpp"
#include "forms/qt/qt_form.hpp"
#include "ui/main_window.hpp"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::kBoxCount;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Counts the paints a box receives, so each run shows that its repaint really happened.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The real main window, shown, for the click benchmarks.
struct ShownForm {
    forms::QtForm form {icatlas::ui::kForm1};
    std::array<QLineEdit *, kBoxCount> boxes {};
    PaintCounter counter;

    ShownForm()
    {
        form.show();
        for (std::size_t i = 0; i < kBoxCount; ++i) {
            boxes.at(i) = qobject_cast<QLineEdit *>(form.widget(icatlas::kBoxNames.at(i)));
        }
        boxes.front()->installEventFilter(&counter);
        QApplication::processEvents();
    }

    // Paints what the writes made dirty, as the event loop does right after a click.
    void repaint() const
    {
        QCoreApplication::sendPostedEvents(form.window(), QEvent::UpdateRequest);
    }
};

void reportPaints(benchmark::State &state, const ShownForm &shown)
{
    state.counters["paints_per_click"] = benchmark::Counter(
        static_cast<double>(shown.counter.paints), benchmark::Counter::kAvgIterations);
}

void BM_Click_SelectModel(benchmark::State &state)
{
    ShownForm shown;
    const auto records = ComponentCatalogue::records();
    std::size_t next = 0;
    for (auto _ : state) {
        icatlas::SelectModel(shown.form, records[next++ % records.size()]);
        shown.repaint();
    }
    reportPaints(state, shown);
}

// Baseline: sixteen QLineEdit::setText calls on the same boxes with the same texts.
// A keystroke in the find row's field: the find over the catalogue, the marks on every model that
// holds the part (up to fifteen) and the answer line, then the paint. Target: one frame, 16 ms.
void BM_Find_Keystroke(benchmark::State &state)
{
    ShownForm shown;
    icatlas::ui::connectClickHandlers(shown.form);
    forms::FindRow *row = shown.form.findRow();
    row->open({});
    auto *field = shown.form.window()->findChild<QLineEdit *>(QStringLiteral("findField"));
    const std::array<QString, 4> typed {QStringLiteral("4370825"), QStringLiteral("n643ht7mi"),
                                        QStringLiteral("4370852"), QStringLiteral("4370805")};
    std::size_t next = 0;
    for (auto _ : state) {
        field->setText(typed.at(next++ % typed.size()));
        shown.repaint();
    }
    row->close();
}

void BM_Click_Baseline_SetText(benchmark::State &state)
{
    ShownForm shown;
    const auto records = ComponentCatalogue::records();
    std::size_t next = 0;
    for (auto _ : state) {
        const auto texts = records[next++ % records.size()].boxTexts();
        for (std::size_t i = 0; i < kBoxCount; ++i) {
            shown.boxes[i]->setText(toQString(texts[i]));
        }
        shown.repaint();
    }
    reportPaints(state, shown);
}

// The same, each box then shown from its start as SelectModel leaves it: what the click's own
// behaviour costs in Qt, apart from the runtime's references, checks and look-ups.
void BM_Click_Baseline_SetTextFromStart(benchmark::State &state)
{
    ShownForm shown;
    const auto records = ComponentCatalogue::records();
    std::size_t next = 0;
    for (auto _ : state) {
        const auto texts = records[next++ % records.size()].boxTexts();
        for (std::size_t i = 0; i < kBoxCount; ++i) {
            shown.boxes[i]->setText(toQString(texts[i]));
            shown.boxes[i]->setCursorPosition(0);
        }
        shown.repaint();
    }
    reportPaints(state, shown);
}

void BM_Create_Form1(benchmark::State &state)
{
    for (auto _ : state) {
        forms::QtForm form(icatlas::ui::kForm1, 96);
        benchmark::DoNotOptimize(form.window());
    }
}

// What a hand-written window holds in its code: pixel places, texts and fonts as literals.
struct HandControl {
    forms::ControlKind kind;
    QString name;
    QString text;
    QRect geometry;
    int parent; // index of the frame it lies in, or -1 for the window
    bool hasFont;
    QString family;
    qreal points;
    int weight;
    bool coloured;
    QColor colour;
    QString accessibleName;
    QString accessibleDescription;
    int tabIndex;
};

std::vector<HandControl> handControls()
{
    const auto &controls = icatlas::ui::kForm1Controls;
    const auto px = [](forms::Twips twips) { return forms::twipsToPixels(twips, 96); };
    std::vector<HandControl> hand;
    for (const forms::ControlDefinition &control : controls) {
        int parent = -1;
        if (!control.container.empty()) {
            parent = static_cast<int>(forms::findDefinition(controls, control.container)
                                      - controls.data());
        }
        const bool ampersands = control.kind == forms::ControlKind::Frame
            || control.kind == forms::ControlKind::CommandButton;
        QString text = control.kind == forms::ControlKind::Picture ? toQString(control.picture)
                                                                   : toQString(control.text);
        if (ampersands) {
            text.replace(QLatin1Char('&'), QLatin1String("&&"));
        }
        hand.push_back(
            {control.kind, toQString(control.name), text,
             QRect(px(control.left), px(control.top), px(control.width), px(control.height)),
             parent, !control.font.face.empty(),
             toQString(forms::substituteFace(control.font.face)), control.font.points(),
             control.font.weight, control.colour.has_value(),
             control.colour
                 ? QColor(control.colour->red, control.colour->green, control.colour->blue)
                 : QColor(),
             toQString(control.accessibleName.empty() ? control.text : control.accessibleName),
             toQString(control.accessibleDescription), control.tabIndex});
    }
    return hand;
}

QPalette::ColorRole textRole(forms::ControlKind kind)
{
    switch (kind) {
    case forms::ControlKind::TextBox:
        return QPalette::Text;
    case forms::ControlKind::CommandButton:
        return QPalette::ButtonText;
    default:
        return QPalette::WindowText;
    }
}

// Baseline: the same 73 widgets, with the same texts, places, fonts, colours, names and tab order,
// made by plain Qt calls the way hand-written (or uic-generated) code makes them.
std::unique_ptr<QWidget> buildByHand(const std::vector<HandControl> &hand)
{
    auto window
        = std::make_unique<QWidget>(nullptr,
                                    Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window->setObjectName(QStringLiteral("Form1"));
    window->setWindowTitle(toQString(icatlas::ui::kForm1.caption));
    window->setFixedSize(642, 525);
    std::vector<QWidget *> made;
    made.reserve(hand.size());
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (const HandControl &control : hand) {
        QWidget *parent = control.parent < 0 ? window.get() : made[control.parent];
        QWidget *widget = nullptr;
        switch (control.kind) {
        case forms::ControlKind::Picture: {
            auto *picture = new QLabel(parent);
            picture->setPixmap(QPixmap(control.text));
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = picture;
            break;
        }
        case forms::ControlKind::Label: {
            auto *label = new QLabel(control.text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case forms::ControlKind::Frame: {
            auto *frame = new QGroupBox(control.text, parent);
            frame->setAutoFillBackground(true);
            widget = frame;
            break;
        }
        case forms::ControlKind::TextBox: {
            auto *edit = new QLineEdit(parent);
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setText(control.text);
            widget = edit;
            break;
        }
        case forms::ControlKind::CommandButton: {
            auto *button = new QPushButton(control.text, parent);
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        }
        widget->setObjectName(control.name);
        widget->setGeometry(control.geometry);
        if (control.hasFont) {
            QFont font(control.family);
            font.setPointSizeF(control.points);
            font.setWeight(static_cast<QFont::Weight>(control.weight));
            widget->setFont(font);
        }
        if (control.coloured) {
            QPalette palette = widget->palette();
            palette.setColor(textRole(control.kind), control.colour);
            widget->setPalette(palette);
        }
        widget->setAccessibleName(control.accessibleName);
        widget->setAccessibleDescription(control.accessibleDescription);
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
    return window;
}

void BM_Create_Baseline_ByHand(benchmark::State &state)
{
    const std::vector<HandControl> hand = handControls();
    for (auto _ : state) {
        const std::unique_ptr<QWidget> window = buildByHand(hand);
        benchmark::DoNotOptimize(window.get());
    }
}

} // namespace

// Every benchmark, timed (Google Benchmark picks the iterations) or, with a count, run exactly that
// many times: scripts/bench counts instructions under callgrind at two counts and divides the
// difference, which leaves out the set-up and hardly moves on a busy machine.
void registerAll(benchmark::IterationCount fixed)
{
    const std::array<std::pair<const char *, void (*)(benchmark::State &)>, 6> all {{
        {"BM_Click_SelectModel", BM_Click_SelectModel},
        {"BM_Click_Baseline_SetText", BM_Click_Baseline_SetText},
        {"BM_Click_Baseline_SetTextFromStart", BM_Click_Baseline_SetTextFromStart},
        {"BM_Find_Keystroke", BM_Find_Keystroke},
        {"BM_Create_Form1", BM_Create_Form1},
        {"BM_Create_Baseline_ByHand", BM_Create_Baseline_ByHand},
    }};
    for (const auto &[name, function] : all) {
        auto *registered = benchmark::RegisterBenchmark(name, function);
        registered->Unit(benchmark::kMicrosecond);
        if (fixed > 0) {
            registered->Iterations(fixed);
        }
    }
}

int main(int argc, char *argv[])
{
    // --iterations=N (ours, taken out before Google Benchmark reads the rest).
    benchmark::IterationCount fixed = 0;
    const std::string_view option = "--iterations=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(option)) {
            fixed = std::stoll(std::string(argument.substr(option.size())));
            std::copy(argv + i + 1, argv + argc + 1, argv + i);
            --argc;
            break;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QApplication application(argc, argv);
    // As forms::runProject does before it builds the window.
    QApplication::setFont(forms::toQFont(icatlas::ui::kForm1.font));
    registerAll(fixed);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
