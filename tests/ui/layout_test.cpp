// SPDX-License-Identifier: MIT
// The main window as built on screen: every control's place, size, font, colour and initial text
// against its definition, at the screen's DPI and scale, and the banner's size and clipping.
// ctest runs this at 96 DPI, at 144 DPI and at a 200 % scale factor.
#include "tests/support/test_screen.hpp"
#include "tests/support/window_expectations.hpp"
#include "tests/support/window_fixture.hpp"

#include "forms/core/contrast.hpp"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

namespace {

using forms::ControlDefinition;
using forms::ControlKind;
using icatlas::ui::kForm1;
using icatlas::ui::kForm1Controls;
using testing_support::MainWindowTest;
using testing_support::PixelCase;

qreal logicalDpi()
{
    return QGuiApplication::primaryScreen()->logicalDotsPerInch();
}

QString caption(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        return label->text();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        return button->text();
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget)) {
        return frame->title();
    }
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        return edit->text();
    }
    return {};
}

class EachControl : public MainWindowTest,
                    public ::testing::WithParamInterface<ControlDefinition> { };

TEST_P(EachControl, StandsWhereItsDefinitionPutsIt)
{
    const ControlDefinition &def = GetParam();
    const QWidget *w = widget(def.name);
    ASSERT_NE(w, nullptr);
    const auto px = [](forms::Twips t) { return forms::twipsToPixels(t, logicalDpi()); };
    EXPECT_EQ(w->geometry(), QRect(px(def.left), px(def.top), px(def.width), px(def.height)));
    const std::string container = def.container.empty() ? "Form1" : std::string(def.container);
    EXPECT_EQ(w->parentWidget()->objectName().toStdString(), container);
}

TEST_P(EachControl, ShowsItsTextInItsFontAndColour)
{
    const ControlDefinition &def = GetParam();
    const QWidget *w = widget(def.name);
    ASSERT_NE(w, nullptr);
    if (def.kind == ControlKind::Picture) {
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
        return;
    }
    EXPECT_EQ(caption(w).toStdString(), std::string(def.text));

    // The face actually drawn, not just the one asked for.
    const QFontInfo info(w->font());
    EXPECT_EQ(info.family(), "Liberation Sans");
    EXPECT_DOUBLE_EQ(w->font().pointSizeF(), def.font.points());
    EXPECT_EQ(info.weight(), 700);
    EXPECT_FALSE(info.italic());
    EXPECT_FALSE(info.underline());

    const QPalette::ColorRole role = def.kind == ControlKind::TextBox ? QPalette::Text
        : def.kind == ControlKind::CommandButton                      ? QPalette::ButtonText
                                                                      : QPalette::WindowText;
    const QColor expected = def.colour.isDefault
        ? QApplication::palette(w).color(role)
        : QColor(def.colour.red, def.colour.green, def.colour.blue);
    if (def.kind == ControlKind::Frame) {
        // A frame's caption gets its colour as it is drawn; the frame's palette stays the one the
        // controls in it share with the window (a copy of its own for each would make the style
        // draw every button's picture anew).
        const QImage drawn = const_cast<QWidget *>(w)->grab().toImage();
        const int captionHeight = QFontMetrics(w->font()).height();
        bool found = false;
        for (int y = 0; y < captionHeight && !found; ++y) {
            for (int x = 0; x < drawn.width() && !found; ++x) {
                found = drawn.pixelColor(x, y) == expected;
            }
        }
        EXPECT_TRUE(found) << "no caption pixel in " << expected.name().toStdString();
        for (const QWidget *inside : w->findChildren<QWidget *>()) {
            EXPECT_EQ(inside->palette().cacheKey(), w->window()->palette().cacheKey())
                << inside->objectName().toStdString();
        }
    } else {
        EXPECT_EQ(w->palette().color(role), expected);
    }

    EXPECT_EQ(w->focusPolicy(), forms::takesFocus(def.kind) ? Qt::StrongFocus : Qt::NoFocus);
}

INSTANTIATE_TEST_SUITE_P(Form1, EachControl, ::testing::ValuesIn(kForm1Controls),
                         [](const auto &info) { return std::string(info.param.name); });

std::vector<ControlDefinition> captionedControls()
{
    std::vector<ControlDefinition> captioned;
    std::copy_if(kForm1Controls.begin(), kForm1Controls.end(), std::back_inserter(captioned),
                 [](const ControlDefinition &c) {
                     return c.kind != ControlKind::Picture && c.kind != ControlKind::TextBox;
                 });
    return captioned;
}

class EachCaption : public MainWindowTest,
                    public ::testing::WithParamInterface<ControlDefinition> { };

// Titles, headings and captions fit the room they were laid out for in the substituted face.
TEST_P(EachCaption, FitsItsControl)
{
    const ControlDefinition &def = GetParam();
    const QWidget *w = widget(def.name);
    ASSERT_NE(w, nullptr);
    const QFontMetrics metrics(w->font());
    EXPECT_LE(metrics.horizontalAdvance(caption(w)), w->width()) << def.name;
    EXPECT_LE(metrics.height(), w->height() + (def.kind == ControlKind::Label ? 16 : 0))
        << "a heading may reach below its label's box, as the title lines do";
}

INSTANTIATE_TEST_SUITE_P(Form1, EachCaption, ::testing::ValuesIn(captionedControls()),
                         [](const auto &info) { return std::string(info.param.name); });

class DevicePixels : public MainWindowTest, public ::testing::WithParamInterface<PixelCase> { };

TEST_P(DevicePixels, ScaleWithTheScreen)
{
    const QWidget *w = widget(GetParam().control);
    ASSERT_NE(w, nullptr);
    // Layout follows the logical DPI; the scale factor multiplies what the toolkit draws.
    const qreal scale = logicalDpi() / 96.0 * w->devicePixelRatioF();
    const PixelCase &r = GetParam();
    const auto scaled = [scale](int v) { return std::lround(v * scale); };
    const QRect device(QPoint(static_cast<int>(std::lround(w->x() * w->devicePixelRatioF())),
                              static_cast<int>(std::lround(w->y() * w->devicePixelRatioF()))),
                       w->size() * w->devicePixelRatioF());
    EXPECT_NEAR(device.x(), scaled(r.x), 1);
    EXPECT_NEAR(device.y(), scaled(r.y), 1);
    EXPECT_NEAR(device.width(), scaled(r.width), 1);
    EXPECT_NEAR(device.height(), scaled(r.height), 1);
}

INSTANTIATE_TEST_SUITE_P(Form1, DevicePixels, ::testing::ValuesIn(testing_support::kPixels),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(MainWindowTest, RunsAtTheScaleCtestAskedFor)
{
    // Guards the 144 DPI and 200 % runs against silently running at 96 DPI.
    const testing_support::TestScreen *screen = testing_support::requestedTestScreen();
    if (screen == nullptr) {
        GTEST_SKIP() << "run outside ctest, on the screen the environment gives";
    }
    const qreal scale = logicalDpi() / 96.0 * form->window()->devicePixelRatioF();
    EXPECT_DOUBLE_EQ(scale, screen->scale);
}

TEST_F(MainWindowTest, ClientAreaOpensAtItsDefinedSizeAndMayOnlyGrow)
{
    QWidget *window = form->window();
    const int width = forms::twipsToPixels(kForm1.clientWidth, logicalDpi());
    const int height = forms::twipsToPixels(kForm1.clientHeight, logicalDpi());
    EXPECT_EQ(window->size(), QSize(width, height));
    EXPECT_EQ(window->minimumSize(), QSize(width, height));
    EXPECT_GT(window->maximumWidth(), width * 4);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->objectName(), "Form1");
    EXPECT_FALSE(window->windowTitle().isEmpty());
    EXPECT_FALSE(window->windowTitle().contains('\n'));
}

TEST_F(MainWindowTest, BannerIsClippedAtTheTopAndLiesUnderTheFrame)
{
    const auto *picture = widget<QLabel>("Image1");
    ASSERT_NE(picture, nullptr);
    const QPixmap pixmap = picture->pixmap();
    ASSERT_FALSE(pixmap.isNull()) << "the banner is embedded in the program";
    EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), QSize(101, 92));
    // On a doubled screen the doubled picture is used, so it stays sharp.
    EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), picture->devicePixelRatioF() >= 2.0 ? 2.0 : 1.0);
    const QImage image = pixmap.toImage();
    EXPECT_EQ(image.depth(), 32) << "loaded from a 24-bit bitmap into Qt's RGB32";

    // Its top rows lie above the client area, so the window hides them.
    EXPECT_LT(picture->y(), 0);
    EXPECT_EQ(picture->y(), -forms::twipsToPixels(120, logicalDpi()));

    // Its foot reaches into Frame1, and the frame is drawn over it.
    const QWidget *frame = widget("Frame1");
    ASSERT_NE(frame, nullptr);
    const int overlap = picture->geometry().bottom() - frame->y() + 1;
    EXPECT_EQ(overlap, forms::twipsToPixels(60, logicalDpi()));
    const QPoint inOverlap(picture->x() + 10, frame->y() + overlap / 2);
    EXPECT_EQ(form->window()->childAt(inOverlap), frame);
}

// The window icon is read from the window's own resource bundle while the form lives: a picture
// missing from the bundle, or one of another size than its name says, would leave window managers
// a wrong or no icon without a word.
TEST_F(MainWindowTest, IconHasEveryPictureAtTheSizeItsNameSays)
{
    const auto &paths = icatlas::ui::kProject.icon;
    ASSERT_FALSE(paths.empty());
    const QList<QSize> sizes = forms::iconFromPictures(paths).availableSizes();
    EXPECT_EQ(static_cast<std::size_t>(sizes.size()), paths.size());
    for (const std::string_view path : paths) {
        const QString name = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
        const int side = name.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0).toInt();
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << path;
    }
}

struct Enlarged {
    const char *label;
    double width; // the window's size as a multiple of its designed size
    double height;
    double scale; // what everything in it must then be scaled by
};

const auto kEnlarged = std::to_array<Enlarged>({
    {"twice", 2.0, 2.0, 2.0},
    {"wider_than_tall", 3.0, 1.5, 1.5},
    {"taller_than_wide", 1.25, 2.0, 1.25},
    {"smaller_stays_designed", 0.5, 0.5, 1.0},
});

void PrintTo(const Enlarged &row, std::ostream *out)
{
    *out << row.label;
}

class EnlargedWindow : public MainWindowTest, public ::testing::WithParamInterface<Enlarged> { };

// Every control, its font and the picture scale by one factor, centred in the window, so the
// designed proportions hold at any size.
TEST_P(EnlargedWindow, ScalesEverythingInProportion)
{
    const Enlarged &row = GetParam();
    QWidget *window = form->window();
    const QSize designed(forms::twipsToPixels(kForm1.clientWidth, logicalDpi()),
                         forms::twipsToPixels(kForm1.clientHeight, logicalDpi()));
    window->resize(qRound(designed.width() * row.width), qRound(designed.height() * row.height));
    QCoreApplication::processEvents();
    const QSize size = window->size();
    ASSERT_GE(size.width(), designed.width());
    ASSERT_GE(size.height(), designed.height());
    // The window's size is whole pixels, so the factor is the row's only to within a pixel.
    const double scale = std::max(1.0,
                                  std::min(size.width() / double(designed.width()),
                                           size.height() / double(designed.height())));
    EXPECT_NEAR(scale, row.scale, 2.0 / designed.height());
    const auto px
        = [scale](forms::Twips t) { return forms::twipsToPixels(t, logicalDpi(), scale); };
    const QPoint margin((size.width() - px(kForm1.clientWidth)) / 2,
                        (size.height() - px(kForm1.clientHeight)) / 2);
    EXPECT_GE(margin.x(), 0);
    EXPECT_GE(margin.y(), 0);
    for (const ControlDefinition &def : kForm1Controls) {
        const QWidget *w = widget(def.name);
        ASSERT_NE(w, nullptr);
        const QPoint offset = def.container.empty() ? margin : QPoint();
        EXPECT_EQ(
            w->geometry(),
            QRect(QPoint(px(def.left), px(def.top)) + offset, QSize(px(def.width), px(def.height))))
            << def.name;
        if (def.kind != ControlKind::Picture) {
            EXPECT_DOUBLE_EQ(w->font().pointSizeF(), def.font.points() * scale) << def.name;
        }
    }
    const QSize picture = widget<QLabel>("Image1")->pixmap().deviceIndependentSize().toSize();
    EXPECT_NEAR(picture.width(), 101 * scale, 1.0);
    EXPECT_NEAR(picture.height(), 92 * scale, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Form1, EnlargedWindow, ::testing::ValuesIn(kEnlarged),
                         [](const auto &info) { return std::string(info.param.label); });

struct CutOff {
    const char *label;
    const char *button; // pressed first, or null
    const char *typed; // then typed into the box, or null
    int box;
    double enlarged; // the window's size as a multiple of its designed size
    const char *tip; // the tooltip then: the whole text when it does not fit, else nothing
};

const auto kCutOff = std::to_array<CutOff>({
    {"longest_text", "Command6", nullptr, 14, 1.0, "KM68U512ALTGE (512kbit)"}, // 5110
    {"short_text_fits", "Command6", nullptr, 2, 1.0, ""},
    {"blank_box", "Command6", nullptr, 3, 1.0, ""},
    {"count_prefix", "Command41", nullptr, 13, 1.0, "4x M58NR064ET (4Mx16)"}, // 6600
    {"typed", nullptr, "PF08125B PF08125B PF08125B", 2, 1.0, "PF08125B PF08125B PF08125B"},
    {"typed_then_cleared", "Command6", "", 14, 1.0, ""},
    // Text and box grow together, so what is cut off stays cut off.
    {"still_cut_off_when_enlarged", "Command6", nullptr, 14, 2.0, "KM68U512ALTGE (512kbit)"},
});

void PrintTo(const CutOff &row, std::ostream *out)
{
    *out << row.label;
}

class CutOffText : public MainWindowTest, public ::testing::WithParamInterface<CutOff> { };

TEST_P(CutOffText, IsOfferedWholeAsTheTooltip)
{
    const CutOff &row = GetParam();
    if (row.enlarged != 1.0) {
        form->window()->resize(form->window()->size() * row.enlarged);
        QCoreApplication::processEvents();
    }
    if (row.button != nullptr) {
        QTest::mouseClick(widget(row.button), Qt::LeftButton);
    }
    QLineEdit *edit = box(row.box);
    ASSERT_NE(edit, nullptr);
    if (row.typed != nullptr) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, row.typed);
    }
    EXPECT_EQ(edit->toolTip().toStdString(), row.tip) << "box holds " << edit->text().toStdString();
    // The tooltip matches what the box shows: a text is cut off exactly when it has a tooltip.
    const int advance = edit->fontMetrics().horizontalAdvance(edit->text());
    EXPECT_EQ(!edit->toolTip().isEmpty(), advance > edit->width() - 8) << advance;
}

INSTANTIATE_TEST_SUITE_P(Form1, CutOffText, ::testing::ValuesIn(kCutOff),
                         [](const auto &info) { return std::string(info.param.label); });

// A dark palette such as a dark desktop theme gives the program before its window is built.
QPalette darkPalette()
{
    QPalette dark;
    const QColor window(53, 53, 53);
    const QColor base(42, 42, 42);
    const QColor text(230, 230, 230);
    for (const auto role : {QPalette::Window, QPalette::Button}) {
        dark.setColor(role, window);
    }
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, text);
    }
    dark.setColor(QPalette::Light, window.lighter(150));
    dark.setColor(QPalette::Midlight, window.lighter(125));
    dark.setColor(QPalette::Mid, window.darker(120));
    dark.setColor(QPalette::Dark, window.darker(150));
    dark.setColor(QPalette::Shadow, Qt::black);
    return dark;
}

forms::Rgb rgbOf(QRgb pixel)
{
    return {static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
            static_cast<std::uint8_t>(qBlue(pixel))};
}

// The drawn pixel that stands out most from `background`, and by how much.
std::pair<QColor, double> mostContrasting(const QImage &image, const QColor &background,
                                          const QRect &area)
{
    const forms::Rgb behind = rgbOf(background.rgb());
    std::pair<QColor, double> best {background, 1.0};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const double ratio = forms::contrastRatio(rgbOf(pixel), behind);
            if (ratio > best.second) {
                best = {QColor(pixel), ratio};
            }
        }
    }
    return best;
}

class DarkPaletteTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        m_saved = QApplication::palette();
        QApplication::setPalette(darkPalette());
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QApplication::setPalette(m_saved);
    }

private:
    QPalette m_saved;
};

struct DarkText {
    const char *label;
    const char *control;
    QPalette::ColorRole background;
    int hue; // of the defined colour
};

const auto kDarkTexts = std::to_array<DarkText>({
    {"blue_heading", "Label11", QPalette::Window, 240},
    {"blue_frame_caption", "Frame1", QPalette::Window, 240},
    {"red_part_number", "Text14", QPalette::Base, 0},
});

void PrintTo(const DarkText &row, std::ostream *out)
{
    *out << row.label;
}

class DarkPaletteText : public DarkPaletteTest, public ::testing::WithParamInterface<DarkText> { };

// The fixed colours as drawn: the strongest pixel of the text reaches 4.5:1 against the
// control's background and keeps the colour's hue.
TEST_P(DarkPaletteText, IsDrawnReadableInItsOwnHue)
{
    const DarkText &row = GetParam();
    QTest::mouseClick(widget("Command6"), Qt::LeftButton); // 5110 fills RAM IC 1
    QWidget *w = widget(row.control);
    ASSERT_NE(w, nullptr);
    const QImage image = w->grab().toImage();
    const QColor background = w->palette().color(row.background);
    // A frame's caption runs along its top, above the buttons it holds.
    const QRect area = qobject_cast<QGroupBox *>(w) != nullptr
        ? QRect(0, 0, image.width(), qRound(w->fontMetrics().height() * image.devicePixelRatio()))
        : image.rect().adjusted(3, 3, -3, -3);
    const auto [strongest, ratio] = mostContrasting(image, background, area);
    EXPECT_GE(ratio, forms::kReadableContrast) << strongest.name().toStdString();
    EXPECT_NEAR(strongest.hsvHue(), row.hue == 0 && strongest.hsvHue() > 180 ? 360 : row.hue, 12)
        << strongest.name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Form1, DarkPaletteText, ::testing::ValuesIn(kDarkTexts),
                         [](const auto &info) { return std::string(info.param.label); });

// An empty box is still seen as a box: its edge stands out from its inside (3:1, as WCAG asks of
// the parts of a control).
TEST_F(DarkPaletteTest, EmptyBoxKeepsAVisibleBorder)
{
    QLineEdit *edit = box(3);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->text().isEmpty());
    const QImage image = edit->grab().toImage();
    const QColor inside = edit->palette().color(QPalette::Base);
    const int scale = qRound(image.devicePixelRatio());
    const auto [edge, ratio]
        = mostContrasting(image, inside, QRect(0, 0, image.width(), 2 * scale));
    EXPECT_GE(ratio, 3.0) << edge.name().toStdString();
}

} // namespace
