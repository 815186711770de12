// SPDX-License-Identifier: MIT
// The main window as built on screen: every control's place, size, font, colour and initial text
// against its definition, at the screen's DPI and scale, the banner's size and clipping, and the
// window's size on the screen it opens on. ctest runs all of it at 96 DPI, at 144 DPI and at a
// 200 % scale factor, and the window's size and scaling on screens too small for its design.
#include "tests/support/contrast.hpp"
#include "tests/support/labelled_rows.hpp"
#include "tests/support/test_screen.hpp"
#include "tests/support/window_fixture.hpp"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

using forms::ControlDefinition;
using forms::ControlKind;
using icatlas::ui::kForm1;
using icatlas::ui::kForm1Controls;
using testing_support::byLabel;
using testing_support::caption;
using testing_support::kReadable;
using testing_support::luminance;
using testing_support::MainWindowTest;
using testing_support::PrintTo;

qreal logicalDpi()
{
    return QGuiApplication::primaryScreen()->logicalDotsPerInch();
}

// WCAG 2's contrast of two drawn colours.
double wcagContrast(const QColor &a, const QColor &b)
{
    return testing_support::contrastRatio(luminance(a.red(), a.green(), a.blue()),
                                          luminance(b.red(), b.green(), b.blue()));
}

// The light theme the tests start on (Fusion's): window #efefef, boxes white. Worked by hand with
// WCAG 2 on it, the fixed colours are drawn: blue as it is (7.47:1 on #efefef); red on white only
// 4.00:1, so the nearest darker shade that reads, (238, 0, 0) at 4.53:1 ((239, 0, 0) is 4.497:1).
const QColor kLightWindow(0xef, 0xef, 0xef);
const QColor kLightBox(Qt::white);
const QColor kBlueDrawn(0, 0, 255);
const QColor kRedDrawnOnWhite(238, 0, 0);

class EachControl : public MainWindowTest,
                    public ::testing::WithParamInterface<ControlDefinition> { };

// Where it stands, in which container, and which controls take the focus, the promises every
// realisation keeps say (places worked out by hand, and the tab walk).
TEST_P(EachControl, ShowsItsTextInItsColour)
{
    const ControlDefinition &def = GetParam();
    const QWidget *w = widget(def.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(caption(w).toStdString(), std::string(def.text)); // its font is DefinedFont's

    const bool box = def.kind == ControlKind::TextBox;
    const QPalette::ColorRole role = box         ? QPalette::Text
        : def.kind == ControlKind::CommandButton ? QPalette::ButtonText
                                                 : QPalette::WindowText;
    QColor expected = QApplication::palette(w).color(role);
    if (def.colour) {
        // Red part numbers stand on the boxes' white, the blue captions on the window's grey.
        ASSERT_EQ(*def.colour, box ? forms::kRed : forms::kBlue);
        EXPECT_EQ(w->palette().color(box ? QPalette::Base : QPalette::Window),
                  box ? kLightBox : kLightWindow)
            << "the drawn colours are worked out for the light theme";
        expected = box ? kRedDrawnOnWhite : kBlueDrawn;
    }
    if (def.kind == ControlKind::Frame) {
        // A frame's caption gets its colour as it is drawn (CaptionUnderStyle); the frame's
        // palette stays the one the controls in it share with the window (a copy of its own for
        // each would make the style draw every button's picture anew).
        for (const QWidget *inside : w->findChildren<QWidget *>()) {
            EXPECT_EQ(inside->palette().cacheKey(), w->window()->palette().cacheKey())
                << inside->objectName().toStdString();
        }
    } else {
        EXPECT_EQ(w->palette().color(role), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, EachControl, ::testing::ValuesIn(kForm1Controls),
                         [](const auto &info) { return std::string(info.param.name); });

// Qt's own application font, or a desktop theme's (as qt6ct sets from `[Fonts] general=`) set
// before the window is built or while it is open: every control keeps the font its definition
// gives, the face actually drawn and not just the one asked for, and each title, heading and
// caption fits the room it was laid out for.
enum class Theme : std::uint8_t { None, SetBefore, SetWhileOpen };

class DefinedFont : public MainWindowTest, public ::testing::WithParamInterface<Theme> {
protected:
    void SetUp() override
    {
        m_saved = QApplication::font();
        if (GetParam() == Theme::SetBefore) {
            QApplication::setFont(themeFont());
        }
        MainWindowTest::SetUp();
        if (GetParam() == Theme::SetWhileOpen) {
            QApplication::setFont(themeFont());
            QCoreApplication::processEvents();
        }
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QApplication::setFont(m_saved);
    }

private:
    static QFont themeFont()
    {
        QFont font;
        font.fromString(QStringLiteral("DejaVu Sans,14,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"));
        return font;
    }
    QFont m_saved;
};

TEST_P(DefinedFont, HoldsEveryControlAndItsCaptionFits)
{
    for (const ControlDefinition &def : kForm1Controls) {
        QWidget *w = widget(def.name);
        ASSERT_NE(w, nullptr);
        const forms::Font &font = def.font.face.empty() ? kForm1.font : def.font;
        const QFontInfo info(w->font());
        EXPECT_EQ(info.family(), "Liberation Sans") << def.name;
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), font.points()) << def.name;
        EXPECT_EQ(info.weight(), font.weight) << def.name;
        EXPECT_FALSE(info.italic() || info.underline()) << def.name;
        if (def.kind == ControlKind::Picture || def.kind == ControlKind::TextBox) {
            continue;
        }
        // A button's caption within the room its style leaves inside the frame, so the buttons
        // whose captions end in a letter their neighbours lack (3510I, 8910I) show it.
        QRect room = w->rect();
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            QStyleOptionButton option;
            option.initFrom(button);
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        }
        const QFontMetrics metrics(w->font());
        EXPECT_LE(metrics.horizontalAdvance(caption(w)), room.width()) << def.name;
        EXPECT_LE(metrics.height(), w->height() + (def.kind == ControlKind::Label ? 16 : 0))
            << def.name << ": a heading may reach below its label's box, as the title lines do";
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, DefinedFont,
                         ::testing::Values(Theme::None, Theme::SetBefore, Theme::SetWhileOpen),
                         [](const auto &info) {
                             return std::to_array<std::string>({"qt_font",
                                                                "theme_font_set_before_the_window",
                                                                "theme_font_set_while_open"})
                                 .at(static_cast<std::size_t>(info.param));
                         });

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

    // Its top rows lie above the client area and its foot 4 pixels into Frame1 (the places every
    // realisation keeps); the frame is drawn over it.
    const QWidget *frame = widget("Frame1");
    ASSERT_NE(frame, nullptr);
    ASSERT_GT(picture->geometry().bottom(), frame->y());
    EXPECT_EQ(form->window()->childAt(picture->x() + 10, frame->y() + 1), frame);
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

// Twips to pixels from the unit's definition, 1440 twips an inch, at the screen's DPI and the
// window's scale, rounded to the nearest pixel.
int pixels(forms::Twips twips, double scale = 1.0)
{
    return static_cast<int>(std::lround(twips * logicalDpi() * scale / 1440.0));
}

QSize designedSize()
{
    return {pixels(kForm1.clientWidth), pixels(kForm1.clientHeight)};
}

// The factor the window's size calls for: one for both directions, never below the least.
double scaleOf(const QWidget *window)
{
    const QSize designed = designedSize();
    return std::max(forms::kSmallestScale,
                    std::min(window->width() / double(designed.width()),
                             window->height() / double(designed.height())));
}

// Every control, its font and the picture scaled by one factor, centred in the window.
void expectLaidOutAt(const forms::QtForm &form, double scale)
{
    const QSize size = form.window()->size();
    const auto px = [scale](forms::Twips t) { return pixels(t, scale); };
    const QPoint margin((size.width() - px(kForm1.clientWidth)) / 2,
                        (size.height() - px(kForm1.clientHeight)) / 2);
    EXPECT_GE(margin.x(), 0);
    EXPECT_GE(margin.y(), 0);
    for (const ControlDefinition &def : kForm1Controls) {
        const QWidget *w = form.widget(def.name);
        ASSERT_NE(w, nullptr) << def.name;
        const QPoint offset = def.container.empty() ? margin : QPoint();
        EXPECT_EQ(
            w->geometry(),
            QRect(QPoint(px(def.left), px(def.top)) + offset, QSize(px(def.width), px(def.height))))
            << def.name;
        if (def.kind != ControlKind::Picture) {
            EXPECT_DOUBLE_EQ(w->font().pointSizeF(), def.font.points() * scale) << def.name;
        }
    }
    const auto *picture = qobject_cast<const QLabel *>(form.widget("Image1"));
    ASSERT_NE(picture, nullptr);
    const QSize drawn = picture->pixmap().deviceIndependentSize().toSize();
    EXPECT_NEAR(drawn.width(), 101 * scale, 1.0);
    EXPECT_NEAR(drawn.height(), 92 * scale, 1.0);
}

// The window opens at its designed size where that fits the screen, frame and all, and otherwise
// as large as fits, everything in it smaller in proportion; it may shrink to the least scale,
// whose smallest texts are still 9 pixels, and grow without bound.
TEST_F(MainWindowTest, OpensAsLargeAsTheScreenAllowsUpToItsDesignedSize)
{
    const testing_support::TestScreen *screen = testing_support::requestedTestScreen();
    if (screen == nullptr) {
        GTEST_SKIP() << "run outside ctest, on a screen of unknown size";
    }
    QWidget *window = form->window();
    const QSize designed = designedSize();
    const QRect available = window->screen()->availableGeometry();
    if (screen->roomy) {
        EXPECT_EQ(window->size(), designed);
    } else {
        EXPECT_LT(window->height(), designed.height());
        EXPECT_TRUE(available.contains(window->frameGeometry()))
            << window->frameGeometry().height() << " in " << available.height();
        // As large as fits: no more room left than a window manager's frame takes.
        EXPECT_LT(
            std::min(available.width() - window->width(), available.height() - window->height()),
            48);
    }
    expectLaidOutAt(*form, scaleOf(window));

    const QSize least(pixels(kForm1.clientWidth, forms::kSmallestScale),
                      pixels(kForm1.clientHeight, forms::kSmallestScale));
    EXPECT_EQ(window->minimumSize(), least);
    window->resize(least);
    QCoreApplication::processEvents();
    const auto *smallest = widget("Text1");
    ASSERT_NE(smallest, nullptr);
    EXPECT_GE(QFontInfo(smallest->font()).pixelSize() * window->devicePixelRatioF(),
              9 * logicalDpi() / 96.0 * window->devicePixelRatioF());
    EXPECT_GT(window->maximumWidth(), designed.width() * 4);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->objectName(), "Form1");
    EXPECT_FALSE(window->windowTitle().isEmpty());
    EXPECT_FALSE(window->windowTitle().contains('\n'));
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
    {"a_little_smaller", 0.9, 0.95, 0.9},
    {"smaller_stops_at_the_least_scale", 0.5, 0.5, forms::kSmallestScale},
});

class EnlargedWindow : public MainWindowTest, public ::testing::WithParamInterface<Enlarged> { };

// Every control, its font and the picture scale by one factor, centred in the window, so the
// designed proportions hold at any size.
TEST_P(EnlargedWindow, ScalesEverythingInProportion)
{
    const Enlarged &row = GetParam();
    QWidget *window = form->window();
    const QSize designed = designedSize();
    window->resize(qRound(designed.width() * row.width), qRound(designed.height() * row.height));
    QCoreApplication::processEvents();
    // The window's size is whole pixels, so the factor is the row's only to within a pixel.
    const double scale = scaleOf(window);
    EXPECT_NEAR(scale, row.scale, 2.0 / designed.height());
    expectLaidOutAt(*form, scale);
}

INSTANTIATE_TEST_SUITE_P(Form1, EnlargedWindow, ::testing::ValuesIn(kEnlarged), byLabel);

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
    {"typed", nullptr, "PF08125B PF08125B PF08125B", 2, 1.0, "PF08125B PF08125B PF08125B"},
    {"typed_then_cleared", "Command6", "", 14, 1.0, ""},
    // Text and box grow together, so what is cut off stays cut off.
    {"still_cut_off_when_enlarged", "Command6", nullptr, 14, 2.0, "KM68U512ALTGE (512kbit)"},
});

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

INSTANTIATE_TEST_SUITE_P(Form1, CutOffText, ::testing::ValuesIn(kCutOff), byLabel);

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

// The drawn pixel that stands out most from `background`, and by how much.
std::pair<QColor, double> mostContrasting(const QImage &image, const QColor &background,
                                          const QRect &area)
{
    std::pair<QColor, double> best {background, 1.0};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const double ratio = wcagContrast(QColor(pixel), background);
            if (ratio > best.second) {
                best = {QColor(pixel), ratio};
            }
        }
    }
    return best;
}

// A mid grey such as some themes give their boxes: white text reaches only 3.4:1 on it, and the
// fixed red as defined 1.2:1.
QPalette greyPalette()
{
    QPalette grey;
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
        grey.setColor(role, QColor(140, 140, 140));
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        grey.setColor(role, Qt::black);
    }
    return grey;
}

// Lets a change reach every widget: the colours are worked out again on queued calls, which may
// post more, and a slow build (the sanitizers) needs more than one round for them.
void settle()
{
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QTest::qWait(20);
    }
}

// A theme's palette given to the program before its window is built, or while it is open (a
// desktop switching its colour scheme); the one before is back when the test ends.
class ThemedWindowTest : public MainWindowTest {
protected:
    void applyTheme(const QPalette &palette, bool whileOpen)
    {
        m_saved = QApplication::palette();
        if (!whileOpen) {
            QApplication::setPalette(palette);
        }
        MainWindowTest::SetUp();
        if (whileOpen) {
            QApplication::setPalette(palette);
            settle();
        }
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QApplication::setPalette(m_saved);
    }
    [[nodiscard]] const QPalette &saved() const { return m_saved; }

private:
    QPalette m_saved;
};

struct ThemedText {
    std::string label;
    const char *control;
    int hue; // of the defined colour; -1: the theme's own text colour, of no hue to keep
    QPalette (*palette)();
    bool whileOpen;
    // The top edge of an empty box, not a text: it must stand out from the box's inside by 3:1,
    // as WCAG asks of the parts of a control, so that the box is still seen as one.
    bool edge = false;
};

// Themes that a careless colour scheme gives: boxes whose Base is transparent, and boxes whose Base
// is their text's colour; the rest of the palette is Qt's own.
QPalette transparentBase()
{
    QPalette theme = QApplication::palette();
    theme.setColor(QPalette::Base, QColor(0, 0, 0, 0));
    return theme;
}

QPalette baseOfItsTextColour()
{
    QPalette theme = QApplication::palette();
    theme.setColor(QPalette::Base, Qt::white);
    theme.setColor(QPalette::Text, Qt::white);
    return theme;
}

std::vector<ThemedText> themedTexts()
{
    struct Text {
        const char *label;
        const char *control;
        int hue;
    };
    const auto texts = std::to_array<Text>({
        {"blue_heading", "Label11", 240},
        {"blue_frame_caption", "Frame1", 240},
        {"red_part_number", "Text14", 0},
    });
    struct Theme {
        const char *label;
        QPalette (*palette)();
    };
    const auto themes = std::to_array<Theme>({{"dark", darkPalette}, {"mid_grey", greyPalette}});
    std::vector<ThemedText> rows;
    for (const Theme &theme : themes) {
        for (const bool whileOpen : {false, true}) {
            for (const Text &text : texts) {
                rows.push_back({std::string(text.label) + "_on_" + theme.label
                                    + (whileOpen ? "_switched_while_open" : "_from_the_start"),
                                text.control, text.hue, theme.palette, whileOpen});
            }
        }
    }
    // The fixed red worked out against the transparent colour (black) came out a light red,
    // 3.48:1 on the window's grey that shows through.
    rows.push_back({"part_number_on_a_transparent_base", "Text2", 0, transparentBase, false});
    rows.push_back({"model_on_a_base_of_its_text_colour", "Text1", -1, baseOfItsTextColour, false});
    for (const bool whileOpen : {false, true}) {
        rows.push_back({std::string("empty_box_border_on_dark")
                            + (whileOpen ? "_switched_while_open" : "_from_the_start"),
                        "Text5", -1, darkPalette, whileOpen, true});
    }
    return rows;
}

class ThemedTextTest : public ThemedWindowTest, public ::testing::WithParamInterface<ThemedText> {
protected:
    void SetUp() override { applyTheme(GetParam().palette(), GetParam().whileOpen); }
};

// The fixed colours as the window draws them, with what shows through: the strongest pixel of the
// text reaches 4.5:1 against the control's background, the top right corner inside its border
// (the text lies lower and further left), and keeps the colour's hue.
TEST_P(ThemedTextTest, IsDrawnReadableInItsOwnHue)
{
    const ThemedText &row = GetParam();
    QTest::mouseClick(widget("Command6"), Qt::LeftButton); // 5110 fills RAM IC 1
    QWidget *w = widget(row.control);
    ASSERT_NE(w, nullptr);
    QCoreApplication::sendPostedEvents();
    const QImage window = form->window()->grab().toImage();
    const qreal ratio = window.devicePixelRatio();
    // A frame's caption runs along its top, above the buttons it holds; a box's edge along its
    // top two rows, against the middle of the box.
    const QRect inside = row.edge ? QRect(0, 0, w->width(), 2)
        : qobject_cast<QGroupBox *>(w) != nullptr
        ? QRect(0, 0, w->width(), w->fontMetrics().height())
        : w->rect().adjusted(3, 3, -3, -3);
    const QRect area(w->mapTo(form->window(), inside.topLeft()) * ratio, inside.size() * ratio);
    const QPoint behind
        = row.edge ? w->mapTo(form->window(), w->rect().center()) * ratio : area.topRight();
    const auto [strongest, contrast] = mostContrasting(window, QColor(window.pixel(behind)), area);
    EXPECT_GE(contrast, row.edge ? 3.0 : kReadable) << strongest.name().toStdString();
    if (row.hue >= 0) {
        EXPECT_NEAR(strongest.hsvHue(), row.hue == 0 && strongest.hsvHue() > 180 ? 360 : row.hue,
                    12)
            << strongest.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, ThemedTextTest, ::testing::ValuesIn(themedTexts()), byLabel);

class LiveSwitchTest : public ThemedWindowTest {
protected:
    void SetUp() override { applyTheme(QApplication::palette(), false); }
};

// Light to dark and back while the window is open: the window looks exactly as it did before.
TEST_F(LiveSwitchTest, BackToLightLooksAsBefore)
{
    QTest::mouseClick(widget("Command6"), Qt::LeftButton);
    settle(); // what the click left pending is drawn before the picture to come back to
    const QImage before = form->window()->grab().toImage();
    QApplication::setPalette(darkPalette());
    settle();
    EXPECT_NE(form->window()->grab().toImage(), before);
    QApplication::setPalette(saved());
    settle();
    EXPECT_EQ(form->window()->grab().toImage(), before);
}

class CaptionUnderStyle : public MainWindowTest,
                          public ::testing::WithParamInterface<const char *> {
protected:
    void SetUp() override
    {
        m_saved = QApplication::style()->name();
        QApplication::setStyle(QStyleFactory::create(QLatin1String(GetParam())));
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QApplication::setStyle(m_saved);
    }

private:
    QString m_saved;
};

// Each frame's caption is drawn in its colour whichever style draws the frame.
TEST_P(CaptionUnderStyle, KeepsItsColour)
{
    for (const char *name : {"Frame1", "Frame2", "Frame3"}) {
        QWidget *w = widget(name);
        ASSERT_NE(w, nullptr);
        // Blue reads as it is on either style's light window (7.47:1 on Fusion's #efefef).
        const QColor window = w->palette().color(QPalette::Window);
        ASSERT_GE(wcagContrast(kBlueDrawn, window), kReadable) << window.name().toStdString();
        const QImage drawn = w->grab().toImage();
        const int captionHeight = qRound(w->fontMetrics().height() * drawn.devicePixelRatio());
        int found = 0;
        for (int y = 0; y < captionHeight; ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                found += drawn.pixelColor(x, y) == kBlueDrawn ? 1 : 0;
            }
        }
        EXPECT_GT(found, 20) << name << ": caption pixels in " << kBlueDrawn.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Form1, CaptionUnderStyle, ::testing::Values("Fusion", "Windows"));

} // namespace
